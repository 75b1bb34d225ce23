#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/Text.h"

namespace lumo {

// What the in-memory module loader needs from the operating system: memory for the image, the
// system loader for the libraries the image imports, and a way to run the image's entry point.
//
// Addresses are plain integers: the loader works on 32-bit images and writes every address it
// resolves into a 32-bit slot of the image. A handle or address of 0 means "none".
//
// Thread-safety: an implementation is used by one thread at a time.
class ModulePlatform {
public:
    using LibraryHandle = std::uintptr_t;

    virtual ~ModulePlatform() = default;

    // Reserves and commits `size` bytes of zeroed memory that is readable, writable and
    // executable, at `preferred` when that address is free, or anywhere when `preferred` is 0.
    // Returns the start address, or 0 when no such memory can be had.
    virtual std::uintptr_t allocate(std::uintptr_t preferred, std::size_t size) = 0;

    // Gives back memory that allocate() returned; `size` is the size that was asked for.
    virtual void release(std::uintptr_t base, std::size_t size) = 0;

    // Loads the system library of that name (the name as the image spells it). 0 when it
    // cannot be loaded. Loaded libraries stay loaded until the process ends.
    virtual LibraryHandle loadLibrary(const Text& name) = 0;

    // The address of a function of a loaded library, by exported name or by ordinal; 0 when the
    // library has no such function.
    virtual std::uintptr_t findFunction(LibraryHandle library, const Text& name) = 0;
    virtual std::uintptr_t findFunctionByOrdinal(LibraryHandle library, std::uint16_t ordinal) = 0;

    // Calls the function at `entry` with three 32-bit arguments in the standard calling
    // convention of Win32 (the callee removes them) and stores what it returned in `result`.
    // False when this platform cannot run the code of such an image; `result` is then untouched.
    virtual bool callEntryPoint(std::uintptr_t entry, std::uint32_t first, std::uint32_t second,
                                std::uint32_t third, std::uint32_t& result) = 0;

    // The platform of the running system: the Win32 one in a 32-bit Windows process, elsewhere
    // one that maps memory but refuses to run image code, so loads fail cleanly.
    static std::unique_ptr<ModulePlatform> createNative();
};

}  // namespace lumo
