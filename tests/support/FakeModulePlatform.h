#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "winmodule/ModulePlatform.h"

namespace lumo::test {

// A module platform for tests: real memory from anonymous mappings, libraries and functions that
// the test declares, and entry points that are recorded instead of run (their results are
// scripted). Memory it places itself ends exactly at an inaccessible page and starts after one,
// so a read or write past either end faults at once. Everything it hands out is recorded so tests
// can see what a load did and what it left behind. Mappings still live when the fake is destroyed
// are unmapped then, so the fake must outlive any loader that uses it. Not thread-safe.
class FakeModulePlatform final : public ModulePlatform {
public:
    struct Allocation {
        std::uintptr_t preferred = 0;
        std::size_t size = 0;
        std::uintptr_t result = 0;
    };
    struct EntryCall {
        std::uintptr_t entry = 0;
        std::uint32_t first = 0;
        std::uint32_t second = 0;
        std::uint32_t third = 0;
    };

    FakeModulePlatform() = default;
    ~FakeModulePlatform() override;
    FakeModulePlatform(const FakeModulePlatform&) = delete;
    FakeModulePlatform& operator=(const FakeModulePlatform&) = delete;

    // --- set-up ---
    // Whether a request for a preferred address is granted (memory mapped exactly there when it
    // is free) or refused as taken. Refused by default.
    bool grantPreferredBase = false;
    // Requests larger than this are refused, as an exhausted address space would.
    std::size_t allocationLimit = std::size_t{64} << 20;
    // False: callEntryPoint() reports that it cannot run image code.
    bool canCallEntryPoints = true;
    // Results of successive entry-point calls; when exhausted, calls return 1.
    std::vector<std::uint32_t> entryResults;

    // Declares a library (looked up case-insensitively, as Windows does) and its functions.
    void addFunction(const std::string& library, const std::string& name, std::uintptr_t address);
    void addOrdinal(const std::string& library, std::uint16_t ordinal, std::uintptr_t address);

    // --- observations ---
    std::vector<Allocation> allocations;
    std::vector<std::pair<std::uintptr_t, std::size_t>> releases;
    std::vector<std::string> loadedLibraries;
    std::vector<EntryCall> entryCalls;
    std::size_t liveAllocations() const { return live_.size(); }
    // Gives back every mapping still held, as if the process ended.
    void releaseAll();

    // --- ModulePlatform ---
    std::uintptr_t allocate(std::uintptr_t preferred, std::size_t size) override;
    void release(std::uintptr_t base, std::size_t size) override;
    LibraryHandle loadLibrary(const Text& name) override;
    std::uintptr_t findFunction(LibraryHandle library, const Text& name) override;
    std::uintptr_t findFunctionByOrdinal(LibraryHandle library, std::uint16_t ordinal) override;
    bool callEntryPoint(std::uintptr_t entry, std::uint32_t first, std::uint32_t second,
                        std::uint32_t third, std::uint32_t& result) override;

private:
    struct Library {
        std::map<std::string, std::uintptr_t> byName;
        std::map<std::uint16_t, std::uintptr_t> byOrdinal;
    };
    Library& library(const std::string& name);

    std::vector<std::pair<std::string, Library>> libraries_;  // handle = index + 1
    struct Mapping {
        std::uintptr_t start = 0;
        std::size_t length = 0;
        std::size_t size = 0;
    };
    std::map<std::uintptr_t, Mapping> live_;
    std::size_t nextEntryResult_ = 0;
};

}  // namespace lumo::test
