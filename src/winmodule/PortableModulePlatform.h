#pragma once

#include "winmodule/ModulePlatform.h"

namespace lumo {

// The module platform of systems that cannot run 32-bit Windows code.
//
// Memory comes from anonymous mappings, so an image can still be laid out; no Windows library
// can be loaded and no entry point is ever called, so loading a DLL fails cleanly and releases
// its memory. Stateless; any thread.
class PortableModulePlatform final : public ModulePlatform {
public:
    std::uintptr_t allocate(std::uintptr_t preferred, std::size_t size) override;
    void release(std::uintptr_t base, std::size_t size) override;
    LibraryHandle loadLibrary(const Text& name) override;
    std::uintptr_t findFunction(LibraryHandle library, const Text& name) override;
    std::uintptr_t findFunctionByOrdinal(LibraryHandle library, std::uint16_t ordinal) override;
    bool callEntryPoint(std::uintptr_t entry, std::uint32_t first, std::uint32_t second,
                        std::uint32_t third, std::uint32_t& result) override;
};

}  // namespace lumo
