#include "winmodule/ModuleImageLoader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/FakeModulePlatform.h"
#include "support/PeImageWriter.h"
#include "winmodule/PortableModulePlatform.h"

namespace lumo {
namespace {

using test::ExportTableWriter;
using test::FakeModulePlatform;
using test::ImportTableWriter;
using test::PeImageWriter;

constexpr std::uint32_t kImageBase = 0x10000000;
constexpr std::uint32_t kText = 0x1000;
constexpr std::uint32_t kData = 0x2000;
constexpr std::uint32_t kReloc = 0x3000;
constexpr std::uint32_t kIdata = 0x4000;
constexpr std::uint32_t kEdata = 0x5000;

std::uint32_t read32(std::uintptr_t address) {
    std::uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const void*>(address), 4);
    return value;
}

Bytes le32(std::uint32_t value) {
    Bytes bytes(4, '\0');
    PeImageWriter::put32(bytes, 0, value);
    return bytes;
}

// A DLL with code, data holding two absolute addresses, their relocations, and a few imports
// and exports.
struct SampleDll {
    PeImageWriter writer;
    ImportTableWriter imports;

    explicit SampleDll(std::uint32_t imageBase = kImageBase) {
        writer.setImageBase(imageBase).setEntryPoint(kText);
        writer.addSection(".text", kText, Bytes("\xB8\x01\x00\x00\x00\xC2\x0C\x00", 8));
        writer.addSection(
            ".data", kData,
            le32(imageBase + kData + 0x10) + le32(imageBase + kText) + le32(0x12345678));
        const Bytes reloc = test::relocationBlocks({{kData, {0x3000, 0x3004, 0x0008, 0xA008}}});
        writer.addSection(".reloc", kReloc, reloc);
        writer.setDirectory(5, kReloc, static_cast<std::uint32_t>(reloc.size()));

        imports.addLibrary("KERNEL32.dll", {{"GetTickCount", 0}, {"", 17}});
        imports.addLibrary("USER32.dll", {{"MessageBoxA", 0}});
        const Bytes idata = imports.build(kIdata);
        writer.addSection(".idata", kIdata, idata);
        writer.setDirectory(1, kIdata, static_cast<std::uint32_t>(idata.size()));

        ExportTableWriter exports;
        exports.addFunction(kText, "SkinH_Attach");
        exports.addFunction(0, "SkinH_Detach");
        exports.addFunction(kText + 4, "SkinH_Detach");
        exports.addFunction(kText + 2, "SkinH_AttachRes");
        const Bytes edata = exports.build(kEdata);
        writer.addSection(".edata", kEdata, edata);
        writer.setDirectory(0, kEdata, static_cast<std::uint32_t>(edata.size()));
    }

    Bytes image() const { return writer.build(); }
};

void declareSampleImports(FakeModulePlatform& platform) {
    platform.addFunction("kernel32.dll", "GetTickCount", 0x7C801000);
    platform.addOrdinal("kernel32.dll", 17, 0x7C802000);
    platform.addFunction("user32.dll", "MessageBoxA", 0x7E401000);
}

class ModuleImageLoaderTest : public ::testing::Test {
protected:
    FakeModulePlatform platform;
    ModuleImageLoader loader{platform};

    void expectRefusedBeforeAllocation(const Bytes& image) {
        EXPECT_FALSE(loader.loadImage(image));
        EXPECT_TRUE(platform.allocations.empty());
        EXPECT_EQ(loader.base(), 0u);
    }
    void expectRefusedAndReleased(const Bytes& image) {
        EXPECT_FALSE(loader.loadImage(image));
        ASSERT_FALSE(platform.allocations.empty());
        EXPECT_EQ(platform.releases.size(), 1u);
        EXPECT_EQ(platform.releases.at(0).first, platform.allocations.back().result);
        EXPECT_EQ(platform.liveAllocations(), 0u);
        EXPECT_EQ(loader.base(), 0u);
    }
};

TEST_F(ModuleImageLoaderTest, RefusesImagesThatFailTheHeaderChecksWithoutAllocating) {
    const Bytes good = SampleDll().image();
    PeImageWriter layout;
    const std::uint32_t nt = layout.lfanew();

    expectRefusedBeforeAllocation(Bytes());
    expectRefusedBeforeAllocation(good.substr(0, 63));

    Bytes noMz = good;
    noMz[0] = 'Z';
    expectRefusedBeforeAllocation(noMz);

    // e_lfanew + 248 one byte past the end.
    Bytes shortNt = good;
    PeImageWriter::put32(shortNt, 60, static_cast<std::uint32_t>(good.size()) - 247);
    expectRefusedBeforeAllocation(shortNt);

    Bytes negative = good;
    PeImageWriter::put32(negative, 60, 0xFFFFFFF0);
    expectRefusedBeforeAllocation(negative);

    Bytes noPe = good;
    noPe[nt + 2] = 'X';
    expectRefusedBeforeAllocation(noPe);

    Bytes notExecutable = good;
    PeImageWriter::put16(notExecutable, layout.fileHeaderOffset() + 18, PeImageWriter::kDll);
    expectRefusedBeforeAllocation(notExecutable);

    // The section table (5 entries) must lie inside the image.
    expectRefusedBeforeAllocation(good.substr(0, layout.sectionHeaderOffset(5) - 1));
    Bytes manySections = good;
    PeImageWriter::put16(manySections, layout.fileHeaderOffset() + 2, 0xFFFF);
    expectRefusedBeforeAllocation(manySections);
}

TEST_F(ModuleImageLoaderTest, RefusesInconsistentImagesWithoutAllocating) {
    SampleDll dll;
    const Bytes good = dll.image();
    PeImageWriter& layout = dll.writer;

    Bytes optionalHeader = good;
    PeImageWriter::put16(optionalHeader, layout.fileHeaderOffset() + 16, 240);
    expectRefusedBeforeAllocation(optionalHeader);

    Bytes noAlignment = good;
    PeImageWriter::put32(noAlignment, layout.optionalHeaderOffset() + 32, 0);
    expectRefusedBeforeAllocation(noAlignment);

    // Section data reaching past the end of the image.
    Bytes truncated = good.substr(0, good.size() - 1);
    expectRefusedBeforeAllocation(truncated);
    Bytes farData = good;
    PeImageWriter::put32(farData, layout.sectionHeaderOffset(1) + 20, 0xFFFFFF00);
    expectRefusedBeforeAllocation(farData);

    // Sizes that overflow 32 bits.
    Bytes overflow = good;
    PeImageWriter::put32(overflow, layout.sectionHeaderOffset(0) + 12, 0xFFFFF000);
    PeImageWriter::put32(overflow, layout.sectionHeaderOffset(0) + 8, 0x2000);
    expectRefusedBeforeAllocation(overflow);

    // An entry point outside the mapping.
    Bytes farEntry = good;
    PeImageWriter::put32(farEntry, layout.optionalHeaderOffset() + 16, 0x00100000);
    expectRefusedBeforeAllocation(farEntry);

    // No size at all: SizeOfImage 0 and no sections.
    PeImageWriter empty;
    empty.setSizeOfImage(0);
    Bytes emptyImage = empty.build();
    PeImageWriter::put32(emptyImage, empty.optionalHeaderOffset() + 56, 0);
    expectRefusedBeforeAllocation(emptyImage);
}

TEST_F(ModuleImageLoaderTest, MapsHeadersAndSectionsAtAMovedBaseAndRelocates) {
    declareSampleImports(platform);
    SampleDll dll;
    const Bytes image = dll.image();
    ASSERT_TRUE(loader.loadImage(image));

    // The preferred base was asked for first, then any address.
    ASSERT_EQ(platform.allocations.size(), 2u);
    EXPECT_EQ(platform.allocations[0].preferred, kImageBase);
    EXPECT_EQ(platform.allocations[1].preferred, 0u);
    EXPECT_EQ(platform.allocations[1].size, 0x6000u);
    const std::uintptr_t base = loader.base();
    EXPECT_EQ(base, platform.allocations[1].result);

    // Headers up to the end of the section table, not SizeOfHeaders; zero after them.
    const std::size_t headerBytes = dll.writer.sectionHeaderOffset(5);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(base), image.data(), headerBytes), 0);
    EXPECT_EQ(*reinterpret_cast<const unsigned char*>(base + headerBytes), 0);

    // Both absolute addresses moved by the same distance; the filler and the unknown type
    // (DIR64 at offset 8) left the third value alone.
    const auto delta = static_cast<std::uint32_t>(base - kImageBase);
    EXPECT_EQ(read32(base + kData), kImageBase + kData + 0x10 + delta);
    EXPECT_EQ(read32(base + kData + 4), kImageBase + kText + delta);
    EXPECT_EQ(read32(base + kData + 4), static_cast<std::uint32_t>(base + kText));
    EXPECT_EQ(read32(base + kData + 8), 0x12345678u);
    EXPECT_EQ(*reinterpret_cast<const unsigned char*>(base + kText), 0xB8);
}

TEST_F(ModuleImageLoaderTest, RelocationAtThePreferredBaseChangesNothing) {
    platform.grantPreferredBase = true;
    declareSampleImports(platform);
    constexpr std::uint32_t kFreeBase = 0x31230000;
    SampleDll dll(kFreeBase);
    ASSERT_TRUE(loader.loadImage(dll.image()));
    if (loader.base() != kFreeBase) {
        GTEST_SKIP() << "the address 0x31230000 is in use in this process";
    }
    EXPECT_EQ(platform.allocations.size(), 1u);
    EXPECT_EQ(read32(loader.base() + kData), kFreeBase + kData + 0x10);
    EXPECT_EQ(read32(loader.base() + kData + 4), kFreeBase + kText);
}

TEST_F(ModuleImageLoaderTest, SizesTheMappingFromSectionsRoundedToTheAlignment) {
    PeImageWriter writer;
    writer.setCharacteristics(PeImageWriter::kExecutableImage);
    writer.addSection(".a", 0x1000, Bytes("abc"), 0x1801);  // ends at 0x3000 once rounded
    writer.addSection(".b", 0, Bytes("never copied"));      // VirtualAddress 0: not copied
    Bytes image = writer.build();
    PeImageWriter::put32(image, writer.optionalHeaderOffset() + 56, 0x2000);  // too small
    ASSERT_TRUE(loader.loadImage(image));
    EXPECT_EQ(loader.mappedSize(), 0x3000u);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(loader.base() + 0x1000), "abc", 4), 0);
    EXPECT_TRUE(platform.entryCalls.empty());  // not a DLL: mapped without a call
}

TEST_F(ModuleImageLoaderTest, RefusesBrokenRelocationsAndReleasesTheMemory) {
    declareSampleImports(platform);
    SampleDll dll;
    const Bytes good = dll.image();
    const std::size_t relocRaw = PeImageWriter::get32(good, dll.writer.sectionHeaderOffset(2) + 20);

    // A block of size 0 would never advance.
    Bytes endless = good;
    PeImageWriter::put32(endless, relocRaw + 4, 0);
    expectRefusedAndReleased(endless);

    platform.releases.clear();
    platform.allocations.clear();
    Bytes outside = good;
    PeImageWriter::put32(outside, relocRaw, 0x00FFF000);  // the page lies beyond the mapping
    expectRefusedAndReleased(outside);

    platform.releases.clear();
    platform.allocations.clear();
    Bytes farDirectory = good;
    PeImageWriter::put32(farDirectory, dll.writer.optionalHeaderOffset() + 96 + 8 * 5, 0x7FFFFFF0);
    expectRefusedAndReleased(farDirectory);
}

TEST_F(ModuleImageLoaderTest, RelocationBlocksMayEndExactlyAtTheEndOfTheMapping) {
    // One block fills the last page completely, so no terminating block fits after it.
    std::vector<std::uint16_t> entries((0x1000 - 8) / 2, 0);
    entries[0] = 0x3004;
    PeImageWriter writer;
    writer.setCharacteristics(PeImageWriter::kExecutableImage);
    writer.addSection(".data", kText, le32(0) + le32(kImageBase + kText));
    Bytes reloc = test::relocationBlocks({{kText, entries}});
    reloc.resize(0x1000);  // without the terminating block
    writer.addSection(".reloc", kData, reloc);
    writer.setDirectory(5, kData, 0x1000);
    ASSERT_TRUE(loader.loadImage(writer.build()));
    EXPECT_EQ(loader.mappedSize(), 0x3000u);
    EXPECT_EQ(read32(loader.base() + kText + 4), static_cast<std::uint32_t>(loader.base() + kText));
}

TEST_F(ModuleImageLoaderTest, ResolvesImportsByNameAndByOrdinalIntoTheSlots) {
    declareSampleImports(platform);
    SampleDll dll;
    ASSERT_TRUE(loader.loadImage(dll.image()));
    const std::uintptr_t base = loader.base();
    EXPECT_EQ(read32(base + dll.imports.slotRva(0, 0)), 0x7C801000u);
    EXPECT_EQ(read32(base + dll.imports.slotRva(0, 1)), 0x7C802000u);
    EXPECT_EQ(read32(base + dll.imports.slotRva(1, 0)), 0x7E401000u);
    EXPECT_EQ(read32(base + dll.imports.slotRva(1, 1)), 0u);
    EXPECT_EQ(platform.loadedLibraries, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));
}

TEST_F(ModuleImageLoaderTest, AMissingImportFailsTheLoadAndReleasesTheMemory) {
    platform.addFunction("kernel32.dll", "GetTickCount", 0x7C801000);
    platform.addOrdinal("kernel32.dll", 17, 0x7C802000);  // USER32 is not there at all
    expectRefusedAndReleased(SampleDll().image());
    EXPECT_EQ(platform.loadedLibraries, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));
    EXPECT_TRUE(platform.entryCalls.empty());

    FakeModulePlatform other;
    other.addFunction("kernel32.dll", "GetTickCount", 0x7C801000);  // ordinal 17 missing
    other.addFunction("user32.dll", "MessageBoxA", 0x7E401000);
    ModuleImageLoader second(other);
    EXPECT_FALSE(second.loadImage(SampleDll().image()));
    EXPECT_EQ(other.liveAllocations(), 0u);
    EXPECT_EQ(other.loadedLibraries.size(), 1u);  // the failure ends the resolution at once
}

TEST_F(ModuleImageLoaderTest, RefusesImportTablesThatPointOutsideTheMapping) {
    declareSampleImports(platform);
    SampleDll dll;
    const Bytes good = dll.image();
    const std::size_t idataRaw = PeImageWriter::get32(good, dll.writer.sectionHeaderOffset(3) + 20);

    Bytes farName = good;
    PeImageWriter::put32(farName, idataRaw + 12, 0x00800000);
    expectRefusedAndReleased(farName);

    platform.releases.clear();
    platform.allocations.clear();
    Bytes farSlots = good;
    PeImageWriter::put32(farSlots, idataRaw + 16, 0x00800000);
    expectRefusedAndReleased(farSlots);

    platform.releases.clear();
    platform.allocations.clear();
    Bytes farHintName = good;
    const std::uint32_t slot = dll.imports.slotRva(0, 0) - kIdata;
    PeImageWriter::put32(farHintName, idataRaw + slot, 0x005FFFFF);
    expectRefusedAndReleased(farHintName);
}

TEST_F(ModuleImageLoaderTest, CallsTheEntryPointOfADllWithANullModuleHandle) {
    declareSampleImports(platform);
    ASSERT_TRUE(loader.loadImage(SampleDll().image()));
    ASSERT_EQ(platform.entryCalls.size(), 1u);
    const auto& call = platform.entryCalls[0];
    EXPECT_EQ(call.entry, loader.base() + kText);
    EXPECT_EQ(call.first, 0u);
    EXPECT_EQ(call.second, 1u);
    EXPECT_EQ(call.third, 0u);
    EXPECT_EQ(platform.liveAllocations(), 1u);

    // The instance holds one image.
    const std::uintptr_t base = loader.base();
    EXPECT_FALSE(loader.loadImage(SampleDll().image()));
    EXPECT_EQ(loader.base(), base);
    EXPECT_EQ(platform.liveAllocations(), 1u);
}

TEST_F(ModuleImageLoaderTest, AnEntryPointReturningZeroIsDetachedAndReleased) {
    declareSampleImports(platform);
    platform.entryResults = {0};
    expectRefusedAndReleased(SampleDll().image());
    ASSERT_EQ(platform.entryCalls.size(), 2u);
    EXPECT_EQ(platform.entryCalls[1].entry, platform.entryCalls[0].entry);
    EXPECT_EQ(platform.entryCalls[1].first, 0u);
    EXPECT_EQ(platform.entryCalls[1].second, 0u);
    EXPECT_EQ(platform.entryCalls[1].third, 0u);
    EXPECT_EQ(loader.findExport("SkinH_AttachRes"), 0u);
}

TEST_F(ModuleImageLoaderTest, ADllWhoseEntryCannotRunIsReleasedAndOneWithoutEntryLoads) {
    declareSampleImports(platform);
    platform.canCallEntryPoints = false;
    expectRefusedAndReleased(SampleDll().image());

    SampleDll noEntry;
    noEntry.writer.setEntryPoint(0);
    ModuleImageLoader second(platform);
    EXPECT_TRUE(second.loadImage(noEntry.image()));
}

TEST_F(ModuleImageLoaderTest, FindsExportsByExactNameOnly) {
    declareSampleImports(platform);
    EXPECT_EQ(loader.findExport("SkinH_AttachRes"), 0u);  // nothing loaded yet
    ASSERT_TRUE(loader.loadImage(SampleDll().image()));
    const std::uintptr_t base = loader.base();
    EXPECT_EQ(loader.findExport("SkinH_AttachRes"), base + kText + 2);
    EXPECT_EQ(loader.findExport("SkinH_Attach"), base + kText);
    EXPECT_EQ(loader.findExport("skinh_attachres"), 0u);
    EXPECT_EQ(loader.findExport("SkinH_AttachRe"), 0u);
    EXPECT_EQ(loader.findExport("SkinH_AttachRes2"), 0u);
    EXPECT_EQ(loader.findExport(""), 0u);
    // The first "SkinH_Detach" has function address 0; the search goes on to the second.
    EXPECT_EQ(loader.findExport("SkinH_Detach"), base + kText + 4);
}

TEST_F(ModuleImageLoaderTest, FindExportIgnoresOrdinalsBeyondTheFunctionTable) {
    declareSampleImports(platform);
    SampleDll dll;
    Bytes image = dll.image();
    const std::size_t edataRaw =
        PeImageWriter::get32(image, dll.writer.sectionHeaderOffset(4) + 20);
    PeImageWriter::put32(image, edataRaw + 20, 3);  // NumberOfFunctions: SkinH_AttachRes is #3
    ASSERT_TRUE(loader.loadImage(image));
    EXPECT_EQ(loader.findExport("SkinH_AttachRes"), 0u);
    EXPECT_NE(loader.findExport("SkinH_Attach"), 0u);
}

TEST_F(ModuleImageLoaderTest, FindExportOfAnImageWithoutExportsIsZero) {
    PeImageWriter writer;
    writer.setCharacteristics(PeImageWriter::kExecutableImage);
    writer.addSection(".text", 0x1000, Bytes("\xC3", 1));
    ASSERT_TRUE(loader.loadImage(writer.build()));
    EXPECT_EQ(loader.findExport("SkinH_AttachRes"), 0u);
}

TEST(PortableModulePlatformTest, LaysOutImagesButRefusesToRunDlls) {
    PortableModulePlatform platform;
    ModuleImageLoader dllLoader(platform);
    SampleDll noImports;
    noImports.writer.setDirectory(1, 0, 0);
    EXPECT_FALSE(dllLoader.loadImage(noImports.image()));
    EXPECT_EQ(dllLoader.base(), 0u);
    EXPECT_FALSE(dllLoader.loadImage(SampleDll().image()));  // no Windows library to import from

    PeImageWriter exe;
    exe.setCharacteristics(PeImageWriter::kExecutableImage);
    exe.addSection(".data", 0x1000, Bytes("lumo"));
    ModuleImageLoader exeLoader(platform);
    ASSERT_TRUE(exeLoader.loadImage(exe.build()));
    EXPECT_EQ(std::memcmp(reinterpret_cast<const void*>(exeLoader.base() + 0x1000), "lumo", 4), 0);
    platform.release(exeLoader.base(), exeLoader.mappedSize());
}

TEST(ModuleImageLoaderStartupTest, TheEmptyEngineImageLoadsNothing) {
    ModuleImageLoader skinEngine;
    EXPECT_FALSE(skinEngine.loadImage(Bytes()));
    EXPECT_EQ(skinEngine.findExport("SkinH_AttachRes"), 0u);
}

}  // namespace
}  // namespace lumo
