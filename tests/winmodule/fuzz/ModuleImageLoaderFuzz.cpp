// libFuzzer target: arbitrary bytes as a DLL image for the module loader, on the fake platform.
//
// Whatever the bytes, a load must not read or write outside the image or the mapping (the fake
// places its memory between inaccessible pages; AddressSanitizer watches the image), must
// terminate, and must leave no memory behind when it fails. A successful load must answer
// findExport with 0 or an address inside the mapping.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "support/FakeModulePlatform.h"
#include "winmodule/ModuleImageLoader.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumo::test::FakeModulePlatform platform;
    platform.allocationLimit = std::size_t{2} << 20;  // larger mappings only slow the search
    platform.addFunction("KERNEL32.dll", "GetTickCount", 0x7C801000);
    platform.addFunction("KERNEL32.dll", "GetCurrentProcessId", 0x7C801010);
    platform.addOrdinal("KERNEL32.dll", 1, 0x7C802000);
    platform.addFunction("USER32.dll", "MessageBoxA", 0x7E401000);
    platform.addOrdinal("ws2_32.dll", 8, 0x71AB1000);
    // The last byte decides how the entry point answers.
    const std::uint8_t mode = size > 0 ? data[size - 1] : 0;
    platform.canCallEntryPoints = (mode & 1) == 0;
    platform.entryResults = {static_cast<std::uint32_t>((mode >> 1) & 1)};

    const lumo::Bytes image(reinterpret_cast<const char*>(data), size);
    {
        lumo::ModuleImageLoader loader(platform);
        if (!loader.loadImage(image)) {
            require(loader.base() == 0);
            require(platform.liveAllocations() == 0);
            require(loader.findExport("SkinH_AttachRes") == 0);
            return 0;
        }
        require(platform.liveAllocations() == 1);
        const std::uintptr_t base = loader.base();
        const std::uintptr_t end = base + loader.mappedSize();
        for (const char* name : {"SkinH_AttachRes", "lumo_answer", "A", ""}) {
            const std::uintptr_t address = loader.findExport(name);
            require(address == 0 || (address >= base && address < end));
        }
    }
    platform.releaseAll();
    return 0;
}
