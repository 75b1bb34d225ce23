#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Text.h"

namespace lumo::test {

// Writes small PE32 images for the module loader's tests: a DOS header, the NT headers with a
// 224-byte optional header, a section table and the sections' raw data. Builders for the
// relocation, import and export directories produce section contents for a given RVA.
//
// Defaults: a DLL (executable image + DLL flags), image base 0x10000000, section alignment
// 0x1000, file alignment 0x200, e_lfanew 0x40, SizeOfImage just covering the last section.
// build() may be called any number of times; the result can be patched with put16/put32 to make
// malformed images.
class PeImageWriter {
public:
    static constexpr std::uint16_t kExecutableImage = 0x0002;
    static constexpr std::uint16_t kDll = 0x2000;

    struct Section {
        std::string name;
        std::uint32_t virtualAddress = 0;
        std::uint32_t virtualSize = 0;  // 0: the data's length
        Bytes data;
        std::uint32_t rawSizeOverride = 0;  // non-zero: SizeOfRawData written as this
    };

    PeImageWriter& setImageBase(std::uint32_t base);
    PeImageWriter& setCharacteristics(std::uint16_t characteristics);
    PeImageWriter& setEntryPoint(std::uint32_t rva);
    PeImageWriter& setSectionAlignment(std::uint32_t alignment);
    PeImageWriter& setSizeOfImage(std::uint32_t size);  // 0: computed
    PeImageWriter& setLfanew(std::uint32_t offset);
    PeImageWriter& setDirectory(int index, std::uint32_t rva, std::uint32_t size);
    PeImageWriter& addSection(Section section);
    PeImageWriter& addSection(const std::string& name, std::uint32_t rva, Bytes data,
                              std::uint32_t virtualSize = 0);

    Bytes build() const;

    // Offsets into a built image, for patching.
    std::uint32_t lfanew() const { return lfanew_; }
    std::uint32_t fileHeaderOffset() const { return lfanew_ + 4; }
    std::uint32_t optionalHeaderOffset() const { return lfanew_ + 24; }
    std::uint32_t sectionHeaderOffset(unsigned index) const { return lfanew_ + 248 + 40 * index; }

    static void put16(Bytes& bytes, std::size_t offset, std::uint16_t value);
    static void put32(Bytes& bytes, std::size_t offset, std::uint32_t value);
    static std::uint32_t get32(const Bytes& bytes, std::size_t offset);

private:
    std::uint32_t imageBase_ = 0x10000000;
    std::uint16_t characteristics_ = kExecutableImage | kDll;
    std::uint32_t entryPoint_ = 0;
    std::uint32_t sectionAlignment_ = 0x1000;
    std::uint32_t fileAlignment_ = 0x200;
    std::uint32_t sizeOfImage_ = 0;
    std::uint32_t lfanew_ = 0x40;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> directories_ =
        std::vector<std::pair<std::uint32_t, std::uint32_t>>(16);
    std::vector<Section> sections_;
};

// Base relocation blocks: each page with its 16-bit entries (type << 12 | offset), followed by
// a terminating block whose VirtualAddress is 0.
Bytes relocationBlocks(
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint16_t>>>& pages);

// An import directory laid out at `rva`: one descriptor per library, then a zero descriptor,
// then each library's import address table (the lookup table stays 0), names and hint/name
// entries. An import with `ordinal` non-zero is by ordinal, otherwise by name.
class ImportTableWriter {
public:
    struct Import {
        std::string name;
        std::uint16_t ordinal = 0;
    };

    void addLibrary(const std::string& library, std::vector<Import> imports);
    Bytes build(std::uint32_t rva);
    // The RVA of the slot of import `index` of library `library` (valid after build).
    std::uint32_t slotRva(std::size_t library, std::size_t index) const;

private:
    std::vector<std::pair<std::string, std::vector<Import>>> libraries_;
    std::vector<std::uint32_t> tableRvas_;
};

// An export directory laid out at `rva`: the directory, the function table, the name pointer
// table, the ordinal table, then the names back to back in table order.
class ExportTableWriter {
public:
    // Adds a function at `functionRva`; `name` empty: exported by ordinal only.
    void addFunction(std::uint32_t functionRva, const std::string& name);
    Bytes build(std::uint32_t rva) const;

private:
    std::vector<std::pair<std::uint32_t, std::string>> functions_;
};

}  // namespace lumo::test
