#pragma once

#include "skin/SkinEngineCaller.h"

namespace lumo {

// The skin engine caller of the running system. In a 32-bit Windows process it calls the
// engine's function directly; on any other system the engine's code cannot run, and every call
// is refused. Stateless; any thread.
class NativeSkinEngineCaller final : public SkinEngineCaller {
public:
    bool callAttach(std::uintptr_t function, const AttachArguments& arguments,
                    std::int32_t& result) override;
};

}  // namespace lumo
