// Writes the fuzz target's seed images: well-formed PE32 DLLs and executables with relocations,
// imports by name and by ordinal, and exports, as the loader's tests build them.
//
// Usage: make_seeds <directory>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/PeImageWriter.h"

using lumo::Bytes;
using lumo::test::ExportTableWriter;
using lumo::test::ImportTableWriter;
using lumo::test::PeImageWriter;

namespace {

Bytes le32(std::uint32_t value) {
    Bytes bytes(4, '\0');
    PeImageWriter::put32(bytes, 0, value);
    return bytes;
}

Bytes image(bool dll, bool relocations, bool imports, bool exports,
            std::uint32_t sectionAlignment) {
    PeImageWriter writer;
    const std::uint32_t base = 0x10000000;
    const std::uint32_t step = sectionAlignment;
    writer.setSectionAlignment(sectionAlignment);
    writer.setCharacteristics(PeImageWriter::kExecutableImage | (dll ? PeImageWriter::kDll : 0));
    writer.setEntryPoint(step);
    writer.addSection(".text", step, Bytes("\xB8\x01\x00\x00\x00\xC2\x0C\x00", 8));
    writer.addSection(".data", 2 * step, le32(base + 2 * step + 8) + le32(base + step));
    if (relocations) {
        const Bytes reloc =
            lumo::test::relocationBlocks({{2 * step, {0x3000, 0x3004, 0x0000}}, {step, {0x3000}}});
        writer.addSection(".reloc", 3 * step, reloc);
        writer.setDirectory(5, 3 * step, static_cast<std::uint32_t>(reloc.size()));
    }
    if (imports) {
        ImportTableWriter table;
        table.addLibrary("KERNEL32.dll", {{"GetTickCount", 0}, {"", 1}});
        table.addLibrary("ws2_32.dll", {{"", 8}});
        const Bytes idata = table.build(4 * step);
        writer.addSection(".idata", 4 * step, idata);
        writer.setDirectory(1, 4 * step, static_cast<std::uint32_t>(idata.size()));
    }
    if (exports) {
        ExportTableWriter table;
        table.addFunction(step, "SkinH_Attach");
        table.addFunction(0, "SkinH_AttachRes");
        table.addFunction(step + 2, "SkinH_AttachRes");
        table.addFunction(step + 4, "");
        const Bytes edata = table.build(5 * step);
        writer.addSection(".edata", 5 * step, edata);
        writer.setDirectory(0, 5 * step, static_cast<std::uint32_t>(edata.size()));
    }
    return writer.build();
}

bool write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    ok &= write(dir + "/dll_full.bin", image(true, true, true, true, 0x1000));
    ok &= write(dir + "/dll_small_alignment.bin", image(true, true, true, true, 0x200));
    ok &= write(dir + "/dll_exports_only.bin", image(true, false, false, true, 0x1000));
    ok &= write(dir + "/dll_imports_only.bin", image(true, false, true, false, 0x1000));
    ok &= write(dir + "/exe_relocations.bin", image(false, true, false, false, 0x1000));
    ok &= write(dir + "/exe_bare.bin", image(false, false, false, false, 0x1000));
    if (!ok) {
        std::fprintf(stderr, "cannot write the seeds into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
