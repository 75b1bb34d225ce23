#include "support/FakeModulePlatform.h"

#include <sys/mman.h>
#include <unistd.h>

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
    for (const auto& [base, mapping] : live_) {
        munmap(reinterpret_cast<void*>(mapping.start), mapping.length);
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
    if (size != 0 && size <= allocationLimit && preferred != 0 && grantPreferredBase) {
        // Exactly at the preferred address, or not at all.
        void* hint = reinterpret_cast<void*>(preferred);
        void* mapped = mmap(hint, size, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (mapped != MAP_FAILED && mapped != hint) {
            munmap(mapped, size);  // kernels before 4.17 take the flag as a hint
        } else if (mapped != MAP_FAILED) {
            record.result = preferred;
            live_[preferred] = {preferred, size, size};
        }
    } else if (size != 0 && size <= allocationLimit && preferred == 0) {
        // An inaccessible page on each side; the memory ends where the upper one begins.
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t inner = (size + page - 1) / page * page;
        const std::size_t length = inner + 2 * page;
        void* mapped = mmap(nullptr, length, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped != MAP_FAILED) {
            const auto start = reinterpret_cast<std::uintptr_t>(mapped);
            if (mprotect(reinterpret_cast<void*>(start + page), inner, PROT_READ | PROT_WRITE) ==
                0) {
                record.result = start + page + inner - size;
                live_[record.result] = {start, length, size};
            } else {
                munmap(mapped, length);
            }
        }
    }
    allocations.push_back(record);
    return record.result;
}

void FakeModulePlatform::release(std::uintptr_t base, std::size_t size) {
    releases.emplace_back(base, size);
    const auto found = live_.find(base);
    if (found == live_.end() || found->second.size != size) {
        std::abort();  // releasing what was never handed out is a loader fault
    }
    munmap(reinterpret_cast<void*>(found->second.start), found->second.length);
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
