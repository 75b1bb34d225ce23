#include "winmodule/Win32ModulePlatform.h"

#if defined(_WIN32) && !defined(_WIN64)

#include <windows.h>

namespace lumo {

namespace {

using EntryPoint = std::uint32_t(__stdcall*)(std::uint32_t, std::uint32_t, std::uint32_t);

}  // namespace

std::uintptr_t Win32ModulePlatform::allocate(std::uintptr_t preferred, std::size_t size) {
    void* memory = VirtualAlloc(reinterpret_cast<void*>(preferred), size, MEM_RESERVE | MEM_COMMIT,
                                PAGE_EXECUTE_READWRITE);
    return reinterpret_cast<std::uintptr_t>(memory);
}

void Win32ModulePlatform::release(std::uintptr_t base, std::size_t) {
    if (base != 0) {
        VirtualFree(reinterpret_cast<void*>(base), 0, MEM_RELEASE);
    }
}

ModulePlatform::LibraryHandle Win32ModulePlatform::loadLibrary(const Text& name) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(name.c_str()));
}

std::uintptr_t Win32ModulePlatform::findFunction(LibraryHandle library, const Text& name) {
    if (library == 0) {
        return 0;
    }
    return reinterpret_cast<std::uintptr_t>(
        GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str()));
}

std::uintptr_t Win32ModulePlatform::findFunctionByOrdinal(LibraryHandle library,
                                                          std::uint16_t ordinal) {
    if (library == 0) {
        return 0;
    }
    // An ordinal travels in the name argument: a "pointer" below 0x10000.
    return reinterpret_cast<std::uintptr_t>(
        GetProcAddress(reinterpret_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

bool Win32ModulePlatform::callEntryPoint(std::uintptr_t entry, std::uint32_t first,
                                         std::uint32_t second, std::uint32_t third,
                                         std::uint32_t& result) {
    if (entry == 0) {
        return false;
    }
    result = reinterpret_cast<EntryPoint>(entry)(first, second, third);
    return true;
}

}  // namespace lumo

#endif
