#pragma once

#include <cstdint>
#include <memory>

namespace lumo {

// Runs the attach function of a skin engine mapped into the process: six 32-bit arguments in
// the standard calling convention of Win32 (the callee removes them), a 32-bit result.
//
// Thread-safety: an implementation is used by one thread at a time.
class SkinEngineCaller {
public:
    struct AttachArguments {
        const char* skin = nullptr;      // first byte of the skin data
        std::uint32_t skinLength = 0;    // its length in bytes
        const char* password = nullptr;  // NUL-terminated, or null when there is none
        std::int32_t hue = 0;
        std::int32_t saturation = 0;
        std::int32_t brightness = 0;
    };

    virtual ~SkinEngineCaller() = default;

    // Calls the function at `function` with `arguments` and stores its result in `result`.
    // False when this system cannot run the engine's code; nothing is called then and `result`
    // is untouched.
    virtual bool callAttach(std::uintptr_t function, const AttachArguments& arguments,
                            std::int32_t& result) = 0;

    // The caller of the running system: a direct call in a 32-bit Windows process, elsewhere one
    // that refuses.
    static std::unique_ptr<SkinEngineCaller> createNative();
};

}  // namespace lumo
