#include "support/PeImageWriter.h"

#include <algorithm>

namespace lumo::test {

namespace {

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

void append16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
}

void append32(Bytes& bytes, std::uint32_t value) {
    append16(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
    append16(bytes, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

PeImageWriter& PeImageWriter::setImageBase(std::uint32_t base) {
    imageBase_ = base;
    return *this;
}

PeImageWriter& PeImageWriter::setCharacteristics(std::uint16_t characteristics) {
    characteristics_ = characteristics;
    return *this;
}

PeImageWriter& PeImageWriter::setEntryPoint(std::uint32_t rva) {
    entryPoint_ = rva;
    return *this;
}

PeImageWriter& PeImageWriter::setSectionAlignment(std::uint32_t alignment) {
    sectionAlignment_ = alignment;
    return *this;
}

PeImageWriter& PeImageWriter::setSizeOfImage(std::uint32_t size) {
    sizeOfImage_ = size;
    return *this;
}

PeImageWriter& PeImageWriter::setLfanew(std::uint32_t offset) {
    lfanew_ = offset;
    return *this;
}

PeImageWriter& PeImageWriter::setDirectory(int index, std::uint32_t rva, std::uint32_t size) {
    directories_.at(static_cast<std::size_t>(index)) = {rva, size};
    return *this;
}

PeImageWriter& PeImageWriter::addSection(Section section) {
    sections_.push_back(std::move(section));
    return *this;
}

PeImageWriter& PeImageWriter::addSection(const std::string& name, std::uint32_t rva, Bytes data,
                                         std::uint32_t virtualSize) {
    Section section;
    section.name = name;
    section.virtualAddress = rva;
    section.virtualSize = virtualSize;
    section.data = std::move(data);
    return addSection(std::move(section));
}

Bytes PeImageWriter::build() const {
    const std::uint32_t headerEnd =
        lfanew_ + 248 + 40 * static_cast<std::uint32_t>(sections_.size());
    const std::uint32_t sizeOfHeaders = alignUp(headerEnd, fileAlignment_);

    std::uint32_t imageEnd = alignUp(sizeOfHeaders, sectionAlignment_);
    for (const Section& s : sections_) {
        const auto length =
            std::max<std::uint32_t>(s.virtualSize, static_cast<std::uint32_t>(s.data.size()));
        imageEnd = std::max(imageEnd, alignUp(s.virtualAddress + length, sectionAlignment_));
    }

    Bytes image(sizeOfHeaders, '\0');
    put16(image, 0, 0x5A4D);
    put32(image, 60, lfanew_);

    const std::uint32_t nt = lfanew_;
    put32(image, nt, 0x00004550);
    const std::uint32_t file = nt + 4;
    put16(image, file + 0, 0x014C);  // i386
    put16(image, file + 2, static_cast<std::uint16_t>(sections_.size()));
    put16(image, file + 16, 224);
    put16(image, file + 18, characteristics_);

    const std::uint32_t opt = nt + 24;
    put16(image, opt + 0, 0x010B);  // PE32
    put32(image, opt + 16, entryPoint_);
    put32(image, opt + 28, imageBase_);
    put32(image, opt + 32, sectionAlignment_);
    put32(image, opt + 36, fileAlignment_);
    put16(image, opt + 40, 4);  // operating system version
    put16(image, opt + 48, 4);  // subsystem version
    put32(image, opt + 56, sizeOfImage_ != 0 ? sizeOfImage_ : imageEnd);
    put32(image, opt + 60, sizeOfHeaders);
    put16(image, opt + 68, 2);  // Windows GUI
    put32(image, opt + 92, 16);
    for (std::size_t i = 0; i < directories_.size(); ++i) {
        put32(image, opt + 96 + 8 * i, directories_[i].first);
        put32(image, opt + 100 + 8 * i, directories_[i].second);
    }

    std::uint32_t rawPointer = sizeOfHeaders;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        const std::uint32_t header = sectionHeaderOffset(static_cast<unsigned>(i));
        for (std::size_t c = 0; c < 8 && c < s.name.size(); ++c) {
            image[header + c] = s.name[c];
        }
        const auto dataSize = static_cast<std::uint32_t>(s.data.size());
        const std::uint32_t rawSize = alignUp(dataSize, fileAlignment_);
        put32(image, header + 8, s.virtualSize != 0 ? s.virtualSize : dataSize);
        put32(image, header + 12, s.virtualAddress);
        put32(image, header + 16, s.rawSizeOverride != 0 ? s.rawSizeOverride : rawSize);
        put32(image, header + 20, rawSize != 0 ? rawPointer : 0);
        put32(image, header + 36, 0xE0000060);  // code, data, read, write, execute

        Bytes raw = s.data;
        raw.resize(rawSize, '\0');
        image += raw;
        rawPointer += rawSize;
    }
    return image;
}

void PeImageWriter::put16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    if (bytes.size() < offset + 2) {
        bytes.resize(offset + 2, '\0');
    }
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

void PeImageWriter::put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    put16(bytes, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint32_t PeImageWriter::get32(const Bytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) |
                static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    }
    return value;
}

Bytes relocationBlocks(
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint16_t>>>& pages) {
    Bytes bytes;
    for (const auto& [page, entries] : pages) {
        append32(bytes, page);
        append32(bytes, static_cast<std::uint32_t>(8 + 2 * entries.size()));
        for (std::uint16_t entry : entries) {
            append16(bytes, entry);
        }
    }
    append32(bytes, 0);
    append32(bytes, 0);
    return bytes;
}

void ImportTableWriter::addLibrary(const std::string& library, std::vector<Import> imports) {
    libraries_.emplace_back(library, std::move(imports));
}

Bytes ImportTableWriter::build(std::uint32_t rva) {
    const auto descriptorsSize = static_cast<std::uint32_t>(20 * (libraries_.size() + 1));
    // Import address tables right after the descriptors, each ending with a 0 slot.
    tableRvas_.clear();
    std::uint32_t cursor = rva + descriptorsSize;
    for (const auto& library : libraries_) {
        tableRvas_.push_back(cursor);
        cursor += static_cast<std::uint32_t>(4 * (library.second.size() + 1));
    }
    // Then the library names and hint/name entries.
    Bytes strings;
    std::vector<std::uint32_t> libraryNameRvas;
    std::vector<std::vector<std::uint32_t>> slotValues;
    for (const auto& [library, imports] : libraries_) {
        libraryNameRvas.push_back(cursor + static_cast<std::uint32_t>(strings.size()));
        strings += library;
        strings.push_back('\0');
        std::vector<std::uint32_t> values;
        for (const Import& import : imports) {
            if (import.ordinal != 0) {
                values.push_back(0x80000000u | import.ordinal);
                continue;
            }
            if (strings.size() % 2 != 0) {
                strings.push_back('\0');
            }
            values.push_back(cursor + static_cast<std::uint32_t>(strings.size()));
            append16(strings, 0);  // hint
            strings += import.name;
            strings.push_back('\0');
        }
        slotValues.push_back(std::move(values));
    }

    Bytes bytes;
    for (std::size_t i = 0; i < libraries_.size(); ++i) {
        append32(bytes, 0);  // OriginalFirstThunk: no lookup table
        append32(bytes, 0);
        append32(bytes, 0);
        append32(bytes, libraryNameRvas[i]);
        append32(bytes, tableRvas_[i]);
    }
    bytes += Bytes(20, '\0');
    for (const auto& values : slotValues) {
        for (std::uint32_t value : values) {
            append32(bytes, value);
        }
        append32(bytes, 0);
    }
    bytes += strings;
    return bytes;
}

std::uint32_t ImportTableWriter::slotRva(std::size_t library, std::size_t index) const {
    return tableRvas_.at(library) + static_cast<std::uint32_t>(4 * index);
}

void ExportTableWriter::addFunction(std::uint32_t functionRva, const std::string& name) {
    functions_.emplace_back(functionRva, name);
}

Bytes ExportTableWriter::build(std::uint32_t rva) const {
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < functions_.size(); ++i) {
        if (!functions_[i].second.empty()) {
            named.push_back(i);
        }
    }
    const auto functionCount = static_cast<std::uint32_t>(functions_.size());
    const auto nameCount = static_cast<std::uint32_t>(named.size());
    const std::uint32_t functionsRva = rva + 40;
    const std::uint32_t namesRva = functionsRva + 4 * functionCount;
    const std::uint32_t ordinalsRva = namesRva + 4 * nameCount;
    const std::uint32_t stringsRva = ordinalsRva + 2 * nameCount;

    Bytes bytes;
    append32(bytes, 0);  // Characteristics
    append32(bytes, 0);  // TimeDateStamp
    append32(bytes, 0);  // versions
    append32(bytes, 0);  // Name
    append32(bytes, 1);  // Base
    append32(bytes, functionCount);
    append32(bytes, nameCount);
    append32(bytes, functionsRva);
    append32(bytes, namesRva);
    append32(bytes, ordinalsRva);
    for (const auto& function : functions_) {
        append32(bytes, function.first);
    }
    Bytes strings;
    for (std::size_t index : named) {
        append32(bytes, stringsRva + static_cast<std::uint32_t>(strings.size()));
        strings += functions_[index].second;
        strings.push_back('\0');
    }
    for (std::size_t index : named) {
        append16(bytes, static_cast<std::uint16_t>(index));
    }
    bytes += strings;
    return bytes;
}

}  // namespace lumo::test
