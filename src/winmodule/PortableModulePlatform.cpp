#include "winmodule/PortableModulePlatform.h"

#if !defined(_WIN32)

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace lumo {

std::uintptr_t PortableModulePlatform::allocate(std::uintptr_t preferred, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The preferred address is only a hint: taking it would require mapping over whatever may
    // live there, and the image is relocated anyway when it lands elsewhere. Fresh anonymous
    // pages are zeroed.
    void* hint = reinterpret_cast<void*>(preferred);
    void* mapped = mmap(hint, size, PROT_READ | PROT_WRITE | PROT_EXEC,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED) {
        // Systems that refuse writable and executable pages still let the image be laid out.
        mapped = mmap(hint, size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    }
    return mapped == MAP_FAILED ? 0 : reinterpret_cast<std::uintptr_t>(mapped);
}

void PortableModulePlatform::release(std::uintptr_t base, std::size_t size) {
    if (base != 0 && size != 0) {
        munmap(reinterpret_cast<void*>(base), size);
    }
}

ModulePlatform::LibraryHandle PortableModulePlatform::loadLibrary(const Text&) {
    return 0;
}

std::uintptr_t PortableModulePlatform::findFunction(LibraryHandle, const Text&) {
    return 0;
}

std::uintptr_t PortableModulePlatform::findFunctionByOrdinal(LibraryHandle, std::uint16_t) {
    return 0;
}

bool PortableModulePlatform::callEntryPoint(std::uintptr_t, std::uint32_t, std::uint32_t,
                                            std::uint32_t, std::uint32_t&) {
    return false;
}

}  // namespace lumo

#endif
