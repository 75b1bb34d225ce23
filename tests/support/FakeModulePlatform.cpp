#include "support/FakeModulePlatform.h"

#include <sys/mman.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace lumo::test {

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

FakeModulePlatform::~FakeModulePlatform() {
    releaseAll();
}

void FakeModulePlatform::releaseAll() {
    for (const auto& [base, size] : live_) {
        munmap(reinterpret_cast<void*>(base), size);
    }
    live_.clear();
}

FakeModulePlatform::Library& FakeModulePlatform::library(const std::string& name) {
    const std::string key = lowered(name);
    for (auto& entry : libraries_) {
        if (entry.first == key) {
            return entry.second;
        }
    }
    libraries_.emplace_back(key, Library{});
    return libraries_.back().second;
}

void FakeModulePlatform::addFunction(const std::string& libraryName, const std::string& name,
                                     std::uintptr_t address) {
    library(libraryName).byName[name] = address;
}

void FakeModulePlatform::addOrdinal(const std::string& libraryName, std::uint16_t ordinal,
                                    std::uintptr_t address) {
    library(libraryName).byOrdinal[ordinal] = address;
}

std::uintptr_t FakeModulePlatform::allocate(std::uintptr_t preferred, std::size_t size) {
    Allocation record{preferred, size, 0};
    if (size != 0 && size <= allocationLimit && (preferred == 0 || grantPreferredBase)) {
        void* hint = reinterpret_cast<void*>(preferred);
        const int fixed = preferred != 0 ? MAP_FIXED_NOREPLACE : 0;
        void* mapped =
            mmap(hint, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | fixed, -1, 0);
        if (mapped != MAP_FAILED) {
            if (preferred != 0 && mapped != hint) {
                munmap(mapped, size);  // kernels before 4.17 take the flag as a hint
            } else {
                record.result = reinterpret_cast<std::uintptr_t>(mapped);
                live_[record.result] = size;
            }
        }
    }
    allocations.push_back(record);
    return record.result;
}

void FakeModulePlatform::release(std::uintptr_t base, std::size_t size) {
    releases.emplace_back(base, size);
    const auto found = live_.find(base);
    if (found == live_.end() || found->second != size) {
        std::abort();  // releasing what was never handed out is a loader fault
    }
    munmap(reinterpret_cast<void*>(base), size);
    live_.erase(found);
}

ModulePlatform::LibraryHandle FakeModulePlatform::loadLibrary(const Text& name) {
    loadedLibraries.push_back(name);
    const std::string key = lowered(name);
    for (std::size_t i = 0; i < libraries_.size(); ++i) {
        if (libraries_[i].first == key) {
            return i + 1;
        }
    }
    return 0;
}

std::uintptr_t FakeModulePlatform::findFunction(LibraryHandle handle, const Text& name) {
    if (handle == 0 || handle > libraries_.size()) {
        return 0;
    }
    const Library& lib = libraries_[handle - 1].second;
    const auto found = lib.byName.find(name);
    return found == lib.byName.end() ? 0 : found->second;
}

std::uintptr_t FakeModulePlatform::findFunctionByOrdinal(LibraryHandle handle,
                                                         std::uint16_t ordinal) {
    if (handle == 0 || handle > libraries_.size()) {
        return 0;
    }
    const Library& lib = libraries_[handle - 1].second;
    const auto found = lib.byOrdinal.find(ordinal);
    return found == lib.byOrdinal.end() ? 0 : found->second;
}

bool FakeModulePlatform::callEntryPoint(std::uintptr_t entry, std::uint32_t first,
                                        std::uint32_t second, std::uint32_t third,
                                        std::uint32_t& result) {
    if (!canCallEntryPoints) {
        return false;
    }
    entryCalls.push_back({entry, first, second, third});
    result = nextEntryResult_ < entryResults.size() ? entryResults[nextEntryResult_] : 1;
    ++nextEntryResult_;
    return true;
}

}  // namespace lumo::test
