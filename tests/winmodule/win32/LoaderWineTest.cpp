// The module loader on the real platform: a 32-bit Windows program (run under Wine by the test
// suite) that loads the DLLs built next to it from memory and checks what they do.
//
// Usage: LoaderWineTest.exe <sample dll> <failing-entry dll> <missing-import dll>
// Prints one line per check; the exit code is the number of failed checks.

#include <windows.h>
#include <algorithm>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "winmodule/ModuleImageLoader.h"
#include "winmodule/Win32ModulePlatform.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) {
        ++failures;
    }
}

lumo::Bytes readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return lumo::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The Win32 platform, counting what a load took and gave back.
class RecordingPlatform : public lumo::ModulePlatform {
public:
    int allocated = 0;
    int released = 0;
    std::vector<std::string> libraries;

    std::uintptr_t allocate(std::uintptr_t preferred, std::size_t size) override {
        const std::uintptr_t base = system_.allocate(preferred, size);
        allocated += base != 0;
        return base;
    }
    void release(std::uintptr_t base, std::size_t size) override {
        ++released;
        system_.release(base, size);
    }
    LibraryHandle loadLibrary(const lumo::Text& name) override {
        libraries.push_back(name);
        return system_.loadLibrary(name);
    }
    std::uintptr_t findFunction(LibraryHandle library, const lumo::Text& name) override {
        return system_.findFunction(library, name);
    }
    std::uintptr_t findFunctionByOrdinal(LibraryHandle library, std::uint16_t ordinal) override {
        return system_.findFunctionByOrdinal(library, ordinal);
    }
    bool callEntryPoint(std::uintptr_t entry, std::uint32_t first, std::uint32_t second,
                        std::uint32_t third, std::uint32_t& result) override {
        return system_.callEntryPoint(entry, first, second, third, result);
    }
    int live() const { return allocated - released; }

private:
    lumo::Win32ModulePlatform system_;
};

bool isFree(std::uintptr_t address) {
    MEMORY_BASIC_INFORMATION info{};
    return VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) == sizeof info &&
           info.State == MEM_FREE;
}

template <typename Function>
Function exported(const lumo::ModuleImageLoader& loader, const char* name) {
    return reinterpret_cast<Function>(loader.findExport(name));
}

constexpr std::uintptr_t kSampleBase = 0x10000000;
constexpr std::uintptr_t kFailingBase = 0x14000000;

void sampleAtAMovedBase(const lumo::Bytes& image) {
    // Keep the preferred base occupied, so the image has to go elsewhere.
    void* blocker =
        VirtualAlloc(reinterpret_cast<void*>(kSampleBase), 0x100000, MEM_RESERVE, PAGE_NOACCESS);
    check(blocker == reinterpret_cast<void*>(kSampleBase), "the preferred base can be occupied");

    RecordingPlatform platform;
    lumo::ModuleImageLoader loader(platform);
    check(loader.loadImage(image), "the sample DLL loads with its preferred base taken");
    const std::uintptr_t base = loader.base();
    check(base != 0 && base != kSampleBase, "it is mapped somewhere else");
    std::printf("      mapped at 0x%08lx\n", static_cast<unsigned long>(base));

    auto answer = exported<int (*)()>(loader, "lumo_answer");
    auto answerAddress = exported<int* (*)()>(loader, "lumo_answer_address");
    auto answerPointer = exported<int* volatile*>(loader, "answer_pointer");
    auto greeting = exported<const char* (*)()>(loader, "lumo_greeting");
    check(answer != nullptr && answerAddress != nullptr && answerPointer != nullptr &&
              greeting != nullptr,
          "findExport finds the exported functions and data");
    if (answer == nullptr || answerAddress == nullptr || answerPointer == nullptr ||
        greeting == nullptr) {
        return;
    }
    check(answer() == 42, "an exported function returns the expected value");
    const auto address = reinterpret_cast<std::uintptr_t>(answerAddress());
    check(address > base && address < base + loader.mappedSize(),
          "code addresses were relocated into the mapping");
    check(*answerPointer == answerAddress(), "a pointer in the data section was relocated");
    check(std::strcmp(greeting(), "lumo") == 0, "relocated data reads correctly");

    check(exported<DWORD (*)()>(loader, "lumo_attached_process")() == GetCurrentProcessId(),
          "an import by name from kernel32 was resolved and called");
    check(exported<unsigned long (*)()>(loader, "lumo_swapped")() == 0x04030201UL,
          "an import by ordinal from ws2_32 was resolved and called");
    check(exported<int (*)()>(loader, "lumo_attach_count")() == 1,
          "the entry point ran once with DLL_PROCESS_ATTACH");
    check(exported<HINSTANCE (*)()>(loader, "lumo_attach_handle")() == nullptr,
          "the entry point received a null module handle");
    // The linker chooses the order of the import table, so only the set is checked.
    std::vector<std::string> loaded = platform.libraries;
    std::sort(loaded.begin(), loaded.end());
    check(loaded == std::vector<std::string>{"KERNEL32.dll", "ws2_32.dll"},
          "each imported library was loaded once");

    check(loader.findExport("LUMO_ANSWER") == 0, "a name differing in case is not found");
    check(loader.findExport("lumo_question") == 0, "a name that is not exported is not found");
    check(loader.findExport("SkinH_AttachRes") == 0, "SkinH_AttachRes is not in the sample");

    VirtualFree(blocker, 0, MEM_RELEASE);
}

void sampleAtItsPreferredBase(const lumo::Bytes& image) {
    RecordingPlatform platform;
    lumo::ModuleImageLoader loader(platform);
    check(isFree(kSampleBase), "the preferred base is free again");
    check(loader.loadImage(image), "the sample DLL loads at a free preferred base");
    check(loader.base() == kSampleBase, "it is mapped at its preferred base");
    auto answer = exported<int (*)()>(loader, "lumo_answer");
    auto greeting = exported<const char* (*)()>(loader, "lumo_greeting");
    check(answer != nullptr && answer() == 42 && greeting != nullptr &&
              std::strcmp(greeting(), "lumo") == 0,
          "its data reads correctly without moving");
}

void failingEntry(const lumo::Bytes& image) {
    SetEnvironmentVariableA("LUMO_ENTRY_LOG", nullptr);
    RecordingPlatform platform;
    lumo::ModuleImageLoader loader(platform);
    check(isFree(kFailingBase), "the failing DLL's preferred base is free");
    check(!loader.loadImage(image), "a DLL whose entry point returns 0 does not load");
    char log[32] = {};
    GetEnvironmentVariableA("LUMO_ENTRY_LOG", log, sizeof log);
    std::printf("      entry log \"%s\"\n", log);
    check(std::strcmp(log, "AD") == 0, "its entry point was called to attach, then to detach");
    check(platform.allocated == 1 && platform.live() == 0, "its memory was released");
    check(isFree(kFailingBase), "nothing is left at its base");
    check(loader.base() == 0 && loader.findExport("FailingEntry") == 0, "the loader holds nothing");
}

void missingImport(const lumo::Bytes& image) {
    SetEnvironmentVariableA("LUMO_MISSING_LOG", nullptr);
    RecordingPlatform platform;
    lumo::ModuleImageLoader loader(platform);
    check(!loader.loadImage(image), "a DLL with a missing import does not load");
    check(platform.allocated >= 1 && platform.live() == 0, "its memory was released");
    char log[8] = {};
    check(GetEnvironmentVariableA("LUMO_MISSING_LOG", log, sizeof log) == 0,
          "its entry point never ran");
    check(loader.base() == 0, "the loader holds nothing");
}

void malformedImages(const lumo::Bytes& image) {
    RecordingPlatform platform;
    lumo::ModuleImageLoader loader(platform);
    check(!loader.loadImage(lumo::Bytes()), "the empty engine image is refused");
    check(!loader.loadImage(image.substr(0, image.size() / 2)), "a truncated DLL is refused");
    check(platform.allocated == 0, "neither took any memory");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <sample dll> <failing-entry dll> <missing-import dll>\n",
                     argv[0]);
        return 100;
    }
    const lumo::Bytes sample = readFile(argv[1]);
    const lumo::Bytes failing = readFile(argv[2]);
    const lumo::Bytes missing = readFile(argv[3]);
    if (sample.empty() || failing.empty() || missing.empty()) {
        std::fprintf(stderr, "cannot read the test DLLs\n");
        return 100;
    }

    malformedImages(sample);
    sampleAtAMovedBase(sample);
    sampleAtItsPreferredBase(sample);
    failingEntry(failing);
    missingImport(missing);

    std::printf("%d check(s) failed\n", failures);
    std::fflush(stdout);
    return failures;
}
