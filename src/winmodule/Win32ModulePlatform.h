#pragma once

#if defined(_WIN32) && !defined(_WIN64)

#include "winmodule/ModulePlatform.h"

namespace lumo {

// The module platform of a 32-bit Windows process: VirtualAlloc and VirtualFree for the image,
// LoadLibraryA and GetProcAddress for its imports, and a direct stdcall into its entry point.
// Stateless; any thread.
class Win32ModulePlatform final : public ModulePlatform {
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

#endif
