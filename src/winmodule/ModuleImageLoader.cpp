#include "winmodule/ModuleImageLoader.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace lumo {

namespace {

// PE32 layout, as far as this loader reads it.
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kLfanewOffset = 60;
constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kNtSignature = 0x00004550;  // "PE\0\0"
constexpr std::size_t kNtHeadersSize = 248;
constexpr std::size_t kFileHeaderOffset = 4;
constexpr std::size_t kOptionalHeaderOffset = 24;
constexpr std::size_t kOptionalHeaderSize = 224;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kImportDescriptorSize = 20;
constexpr std::size_t kRelocationBlockHeaderSize = 8;
constexpr std::size_t kExportDirectorySize = 40;

// Offsets inside the file header.
constexpr std::size_t kNumberOfSections = 2;
constexpr std::size_t kSizeOfOptionalHeader = 16;
constexpr std::size_t kCharacteristics = 18;

// Offsets inside the optional header.
constexpr std::size_t kAddressOfEntryPoint = 16;
constexpr std::size_t kImageBase = 28;
constexpr std::size_t kSectionAlignment = 32;
constexpr std::size_t kSizeOfImage = 56;
constexpr std::size_t kDataDirectories = 96;

// Offsets inside a section header.
constexpr std::size_t kVirtualSize = 8;
constexpr std::size_t kVirtualAddress = 12;
constexpr std::size_t kSizeOfRawData = 16;
constexpr std::size_t kPointerToRawData = 20;

constexpr int kExportDirectory = 0;
constexpr int kImportDirectory = 1;
constexpr int kRelocationDirectory = 5;

constexpr std::uint16_t kFileExecutableImage = 0x0002;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr unsigned kRelocationHighLow = 3;
constexpr std::uint32_t kOrdinalFlag = 0x80000000;
constexpr std::uint32_t kDllProcessAttach = 1;
constexpr std::uint32_t kDllProcessDetach = 0;

constexpr std::uint64_t kAddressSpace = 0x100000000ULL;

// A bounds-checked window on bytes: the image as handed in, or the mapping. Every read names an
// offset and fails when the value would reach past the end.
class ByteView {
public:
    ByteView(unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }

    bool fits(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    std::optional<std::uint16_t> u16(std::uint64_t offset) const {
        if (!fits(offset, 2)) {
            return std::nullopt;
        }
        const unsigned char* p = data_ + offset;
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }

    std::optional<std::uint32_t> u32(std::uint64_t offset) const {
        if (!fits(offset, 4)) {
            return std::nullopt;
        }
        const unsigned char* p = data_ + offset;
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }

    bool putU32(std::uint64_t offset, std::uint32_t value) {
        if (!fits(offset, 4)) {
            return false;
        }
        unsigned char* p = data_ + offset;
        p[0] = static_cast<unsigned char>(value);
        p[1] = static_cast<unsigned char>(value >> 8);
        p[2] = static_cast<unsigned char>(value >> 16);
        p[3] = static_cast<unsigned char>(value >> 24);
        return true;
    }

    // The length of the NUL-terminated text at `offset`, when its NUL lies inside the view.
    std::optional<std::size_t> cStringLength(std::uint64_t offset) const {
        if (offset >= size_) {
            return std::nullopt;
        }
        const unsigned char* start = data_ + offset;
        const void* nul = std::memchr(start, 0, size_ - offset);
        if (nul == nullptr) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - start);
    }

    // The NUL-terminated text at `offset`, when its NUL lies inside the view.
    std::optional<Text> cString(std::uint64_t offset) const {
        const auto length = cStringLength(offset);
        if (!length) {
            return std::nullopt;
        }
        return Text(reinterpret_cast<const char*>(data_ + offset), *length);
    }

    unsigned char* at(std::uint64_t offset) const { return data_ + offset; }

private:
    unsigned char* data_;
    std::size_t size_;
};

// The header fields a load works with, read and checked before any memory is taken.
struct ImageLayout {
    std::uint64_t ntOffset = 0;
    std::uint16_t sectionCount = 0;
    std::uint16_t characteristics = 0;
    std::uint32_t entryPoint = 0;
    std::uint32_t imageBase = 0;
    std::uint64_t headerBytes = 0;
    std::uint64_t mappingSize = 0;

    std::uint64_t optionalHeader() const { return ntOffset + kOptionalHeaderOffset; }
    std::uint64_t dataDirectory(int index) const {
        return optionalHeader() + kDataDirectories + 8 * static_cast<std::uint64_t>(index);
    }
    std::uint64_t sectionHeader(unsigned index) const {
        return ntOffset + kNtHeadersSize + kSectionHeaderSize * static_cast<std::uint64_t>(index);
    }
};

// The mapping's size: SizeOfImage and every section, each section's end raised to the section
// alignment; 0 when a section's data lies outside the image.
std::uint64_t mappingSizeOf(const ByteView& image, const ImageLayout& layout,
                            std::uint32_t alignment) {
    std::uint64_t size = *image.u32(layout.optionalHeader() + kSizeOfImage);
    for (unsigned i = 0; i < layout.sectionCount; ++i) {
        const std::uint64_t header = layout.sectionHeader(i);
        const std::uint64_t virtualAddress = *image.u32(header + kVirtualAddress);
        const std::uint64_t rawSize = *image.u32(header + kSizeOfRawData);
        const std::uint64_t virtualSize = *image.u32(header + kVirtualSize);
        std::uint64_t end = virtualAddress + std::max(rawSize, virtualSize);
        end = (end + alignment - 1) / alignment * alignment;
        size = std::max(size, end);

        // Section data must come from inside the image.
        const std::uint64_t rawPointer = *image.u32(header + kPointerToRawData);
        if (rawSize > 0 && virtualAddress != 0 && !image.fits(rawPointer, rawSize)) {
            return 0;
        }
    }
    return size;
}

std::optional<ImageLayout> readLayout(const ByteView& image) {
    ImageLayout layout;
    const std::uint64_t n = image.size();

    // The format's own checks, in this order.
    if (n < kDosHeaderSize || image.u16(0) != kDosMagic) {
        return std::nullopt;
    }
    const auto lfanew = static_cast<std::int32_t>(*image.u32(kLfanewOffset));
    if (lfanew < 0 || static_cast<std::uint64_t>(lfanew) + kNtHeadersSize > n) {
        return std::nullopt;
    }
    layout.ntOffset = static_cast<std::uint64_t>(lfanew);
    if (image.u32(layout.ntOffset) != kNtSignature) {
        return std::nullopt;
    }
    const std::uint64_t fileHeader = layout.ntOffset + kFileHeaderOffset;
    layout.characteristics = *image.u16(fileHeader + kCharacteristics);
    if ((layout.characteristics & kFileExecutableImage) == 0) {
        return std::nullopt;
    }
    layout.sectionCount = *image.u16(fileHeader + kNumberOfSections);
    layout.headerBytes = layout.sectionHeader(layout.sectionCount);
    if (layout.headerBytes > n) {
        return std::nullopt;
    }

    // The section table is read where a 224-byte optional header ends; any other size would put
    // it somewhere else.
    if (*image.u16(fileHeader + kSizeOfOptionalHeader) != kOptionalHeaderSize) {
        return std::nullopt;
    }
    const std::uint64_t optional = layout.optionalHeader();
    layout.entryPoint = *image.u32(optional + kAddressOfEntryPoint);
    layout.imageBase = *image.u32(optional + kImageBase);
    const std::uint32_t alignment = *image.u32(optional + kSectionAlignment);
    if (alignment == 0) {
        return std::nullopt;
    }

    const std::uint64_t size = mappingSizeOf(image, layout, alignment);
    if (size == 0 || size >= kAddressSpace || size < layout.headerBytes) {
        return std::nullopt;
    }
    if ((layout.characteristics & kFileDll) != 0 && layout.entryPoint >= size) {
        return std::nullopt;
    }
    layout.mappingSize = size;
    return layout;
}

// Adds the distance between the actual and the preferred base to every 32-bit address the
// relocation blocks name. The blocks run until one whose VirtualAddress is 0, or until the
// mapping ends exactly where a block ended.
bool applyRelocations(ByteView& mapping, std::uint32_t firstBlock, std::uint32_t delta) {
    std::uint64_t block = firstBlock;
    while (block != mapping.size()) {
        const auto pageAddress = mapping.u32(block);
        const auto blockSize = mapping.u32(block + 4);
        if (!pageAddress || !blockSize) {
            return false;
        }
        if (*pageAddress == 0) {
            return true;
        }
        if (*blockSize < kRelocationBlockHeaderSize || !mapping.fits(block, *blockSize)) {
            return false;
        }
        const std::uint32_t entries = (*blockSize - kRelocationBlockHeaderSize) / 2;
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint16_t entry = *mapping.u16(block + kRelocationBlockHeaderSize + 2 * i);
            if ((entry >> 12) != kRelocationHighLow) {
                continue;  // IMAGE_REL_BASED_ABSOLUTE fillers and types a PE32 image never needs
            }
            const std::uint64_t target = static_cast<std::uint64_t>(*pageAddress) + (entry & 0xFFF);
            const auto value = mapping.u32(target);
            if (!value || !mapping.putU32(target, *value + delta)) {
                return false;
            }
        }
        block += *blockSize;
    }
    return true;
}

// Loads every library the import descriptors name and writes the address of each imported
// function into its import address table slot. The slots themselves hold what to look up; the
// lookup table is never read.
bool resolveImports(ByteView& mapping, std::uint32_t firstDescriptor, ModulePlatform& platform) {
    for (std::uint64_t descriptor = firstDescriptor;; descriptor += kImportDescriptorSize) {
        if (!mapping.fits(descriptor, kImportDescriptorSize)) {
            return false;
        }
        const std::uint32_t firstThunk = *mapping.u32(descriptor + 16);
        if (firstThunk == 0) {
            return true;
        }
        const auto libraryName = mapping.cString(*mapping.u32(descriptor + 12));
        if (!libraryName) {
            return false;
        }
        const ModulePlatform::LibraryHandle library = platform.loadLibrary(*libraryName);
        for (std::uint64_t slot = firstThunk;; slot += 4) {
            const auto thunk = mapping.u32(slot);
            if (!thunk) {
                return false;
            }
            if (*thunk == 0) {
                break;
            }
            std::uintptr_t function = 0;
            if ((*thunk & kOrdinalFlag) != 0) {
                const auto ordinal = static_cast<std::uint16_t>(*thunk & 0xFFFF);
                function = library == 0 ? 0 : platform.findFunctionByOrdinal(library, ordinal);
            } else {
                // A 2-byte hint, then the name.
                const auto functionName = mapping.cString(static_cast<std::uint64_t>(*thunk) + 2);
                if (!functionName) {
                    return false;
                }
                function = library == 0 ? 0 : platform.findFunction(library, *functionName);
            }
            if (function == 0) {
                return false;
            }
            mapping.putU32(slot, static_cast<std::uint32_t>(function));
        }
    }
}

// The DOS header, the NT headers and the section table; then each section's data.
void copySections(const ByteView& source, const ImageLayout& layout, ByteView& mapping) {
    std::memcpy(mapping.at(0), source.at(0), static_cast<std::size_t>(layout.headerBytes));
    for (unsigned i = 0; i < layout.sectionCount; ++i) {
        const std::uint64_t header = layout.sectionHeader(i);
        const std::uint32_t virtualAddress = *source.u32(header + kVirtualAddress);
        const std::uint32_t rawSize = *source.u32(header + kSizeOfRawData);
        if (rawSize > 0 && virtualAddress != 0) {
            std::memcpy(mapping.at(virtualAddress),
                        source.at(*source.u32(header + kPointerToRawData)), rawSize);
        }
    }
}

// Relocations and imports. From here on the directories are read from the mapping, so
// everything is checked against its size.
bool fixUpMapping(ByteView& mapping, const ImageLayout& layout, std::uintptr_t base,
                  ModulePlatform& platform) {
    const std::uint64_t relocations = layout.dataDirectory(kRelocationDirectory);
    if (*mapping.u32(relocations + 4) > 0) {
        const auto delta = static_cast<std::uint32_t>(base - layout.imageBase);
        if (!applyRelocations(mapping, *mapping.u32(relocations), delta)) return false;
    }
    const std::uint32_t imports = *mapping.u32(layout.dataDirectory(kImportDirectory));
    return imports == 0 || resolveImports(mapping, imports, platform);
}

// A DLL learns that it was attached. The module handle it receives is null. A DLL without an
// entry point needs no call.
bool attachDll(const ImageLayout& layout, std::uintptr_t base, ModulePlatform& platform) {
    if ((layout.characteristics & kFileDll) == 0 || layout.entryPoint == 0) return true;
    const std::uintptr_t entry = base + layout.entryPoint;
    std::uint32_t attached = 0;
    if (!platform.callEntryPoint(entry, 0, kDllProcessAttach, 0, attached)) return false;
    if (attached == 0) {
        std::uint32_t ignored = 0;
        platform.callEntryPoint(entry, 0, kDllProcessDetach, 0, ignored);
        return false;
    }
    return true;
}

}  // namespace

ModuleImageLoader::ModuleImageLoader()
    : ownPlatform_(ModulePlatform::createNative()), platform_(*ownPlatform_) {}

ModuleImageLoader::ModuleImageLoader(ModulePlatform& platform) : platform_(platform) {}

// The mapped image and the libraries it pulled in stay in the process.
ModuleImageLoader::~ModuleImageLoader() = default;

bool ModuleImageLoader::loadImage(const Bytes& image) {
    if (base_ != 0) {
        return false;
    }
    const ByteView source(reinterpret_cast<unsigned char*>(const_cast<char*>(image.data())),
                          image.size());
    const std::optional<ImageLayout> layout = readLayout(source);
    if (!layout) {
        return false;
    }
    const auto size = static_cast<std::size_t>(layout->mappingSize);

    std::uintptr_t base = platform_.allocate(layout->imageBase, size);
    if (base == 0) {
        base = platform_.allocate(0, size);
    }
    if (base == 0) {
        return false;
    }
    ByteView mapping(reinterpret_cast<unsigned char*>(base), size);
    copySections(source, *layout, mapping);
    if (!fixUpMapping(mapping, *layout, base, platform_) || !attachDll(*layout, base, platform_)) {
        platform_.release(base, size);
        return false;
    }
    base_ = base;
    size_ = size;
    return true;
}

std::uintptr_t ModuleImageLoader::findExport(const Text& name) const {
    if (base_ == 0) {
        return 0;
    }
    const ByteView mapping(reinterpret_cast<unsigned char*>(base_), size_);
    if (mapping.u16(0) != kDosMagic) {
        return 0;
    }
    const auto lfanew = static_cast<std::int32_t>(mapping.u32(kLfanewOffset).value_or(0));
    if (lfanew < 0 || !mapping.fits(static_cast<std::uint64_t>(lfanew), kNtHeadersSize) ||
        mapping.u32(static_cast<std::uint64_t>(lfanew)) != kNtSignature) {
        return 0;
    }
    const std::uint64_t directory = static_cast<std::uint64_t>(lfanew) + kOptionalHeaderOffset +
                                    kDataDirectories + 8 * kExportDirectory;
    if (*mapping.u32(directory + 4) == 0) {
        return 0;
    }
    const std::uint64_t exports = *mapping.u32(directory);
    if (!mapping.fits(exports, kExportDirectorySize)) {
        return 0;
    }
    const std::uint32_t functionCount = *mapping.u32(exports + 20);
    const std::uint32_t nameCount = *mapping.u32(exports + 24);
    const std::uint64_t functions = *mapping.u32(exports + 28);
    const std::uint64_t names = *mapping.u32(exports + 32);
    const std::uint64_t ordinals = *mapping.u32(exports + 36);
    if (nameCount == 0) {
        return 0;
    }
    const auto firstName = mapping.u32(names);
    if (!firstName) {
        return 0;
    }

    // The names are walked as one run of NUL-terminated texts that starts at the first name, in
    // step with the ordinal table.
    std::uint64_t nameAt = *firstName;
    std::uint64_t ordinalAt = ordinals;
    for (std::uint32_t i = 0; i < nameCount; ++i) {
        const auto length = mapping.cStringLength(nameAt);
        const auto index = mapping.u16(ordinalAt);
        if (!length || !index) {
            return 0;
        }
        if (*index < functionCount && *length == name.size() &&
            std::memcmp(mapping.at(nameAt), name.data(), name.size()) == 0) {
            const auto address = mapping.u32(functions + 4 * static_cast<std::uint64_t>(*index));
            if (address && *address != 0 && *address < size_) {
                return base_ + *address;
            }
        }
        nameAt += *length + 1;
        ordinalAt += 2;
    }
    return 0;
}

}  // namespace lumo
