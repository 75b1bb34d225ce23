// Generates src/app/Gbk936Table.inc, the code page 936 tables of the GBK converter.
//
//   g++ -std=c++20 -O2 tools/gbk/make_gbk_table.cpp -o /tmp/make_gbk_table
//   /tmp/make_gbk_table tools/gbk/cp936-bestfit.txt > src/app/Gbk936Table.inc
//
// The double-byte characters come from glibc's CP936 converter. Windows code page 936 maps every
// one of the 23,940 double-byte codes (lead 0x81-0xFE, trail 0x40-0x7E and 0x80-0xFE), while glibc
// leaves the user-defined areas and the unassigned codes of the symbol rows unmapped; Windows gives
// those private-use characters, in this order:
//   AAA1-AFFE  -> U+E000..  (user-defined area 1, 6 rows of 94)
//   F8A1-FEFE  -> U+E234..  (user-defined area 2, 7 rows of 94)
//   A140-A7A0  -> U+E4C6..  (user-defined area 3, 7 rows of 96)
//   every other code glibc does not map, in code order -> U+E766..
// The single bytes 0x80 (euro sign) and 0xFF (U+F8F5) are handled by the converter itself.
//
// The best-fit file lists the characters outside GBK that Windows writes as a look-alike when it
// converts with no flags (for example U+00C0 as the GBK letter a-grave).
//
// With a third argument, the path of a code page 936 table in the Windows NLS format (C_936.NLS
// of a Windows system, or c_936.nls of Wine), the generated tables are checked against it in both
// directions and the differences are listed on stderr; nothing is written then.
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kLeadCount = 0xFE - 0x81 + 1;
constexpr int kTrailCount = 0xFE - 0x40 + 1;

bool isTrail(int t) {
    return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

// The character glibc gives for one double-byte code, or 0 when it has none.
std::uint16_t glibcChar(iconv_t cd, int lead, int trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char16_t out[4] = {};
    char* src = in;
    std::size_t srcLeft = 2;
    char* dst = reinterpret_cast<char*>(out);
    std::size_t dstLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return 0;
    if (srcLeft != 0 || sizeof out - dstLeft != 2) return 0;
    return out[0];
}

}  // namespace

// Compares the tables with an NLS code page file: header of hdr[0] words, then the
// multibyte-to-Unicode section (size word, 256 single-byte entries, glyph table flag, lead-byte
// offsets and 256-entry trail tables), then 65536 Unicode-to-multibyte entries.
int verify(const char* path, const std::vector<std::uint16_t>& table,
           const std::vector<std::pair<unsigned, unsigned>>& bestFit) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::uint16_t> w(raw.size() / 2);
    std::memcpy(w.data(), raw.data(), w.size() * 2);
    if (w.size() < 0x10000 || w[1] != 936) {
        std::fprintf(stderr, "%s is no code page 936 table\n", path);
        return 1;
    }
    const std::size_t mb = w[0];
    const std::size_t wideTable = mb + w[mb] + 1;
    std::size_t p = mb + 1 + 256;
    if (w[p++] != 0) p += 256;  // glyph table
    const std::size_t offsets = p + 1;
    int differences = 0;
    std::map<unsigned, unsigned> expectedCode;  // character -> code, from our tables
    for (unsigned u = 0; u < 0x80; ++u) expectedCode[u] = u;
    expectedCode[0x20AC] = 0x80;
    expectedCode[0xF8F5] = 0xFF;
    for (const auto& [u, code] : bestFit) expectedCode[u] = code;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!isTrail(trail)) continue;
            const std::uint16_t ours = table[(lead - 0x81) * kTrailCount + (trail - 0x40)];
            const std::uint16_t theirs = w[offsets + w[offsets + lead] + trail];
            expectedCode[ours] = lead * 256 + trail;
            if (ours != theirs && differences++ < 20) {
                std::fprintf(stderr, "%02X%02X: U+%04X here, U+%04X there\n", lead, trail, ours,
                             theirs);
            }
        }
    }
    for (unsigned u = 0; u < 0x10000; ++u) {
        const auto it = expectedCode.find(u);
        const unsigned ours = it == expectedCode.end() ? '?' : it->second;
        const unsigned theirs = w[wideTable + u];
        if (ours != theirs && differences++ < 40) {
            std::fprintf(stderr, "U+%04X: %X here, %X there\n", u, ours, theirs);
        }
    }
    std::fprintf(stderr, "%d differences\n", differences);
    return differences == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s cp936-bestfit.txt [C_936.NLS] > Gbk936Table.inc\n",
                     argv[0]);
        return 2;
    }
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::perror("iconv_open CP936");
        return 1;
    }

    std::vector<std::uint16_t> table(kLeadCount * kTrailCount, 0);
    auto at = [&](int lead, int trail) -> std::uint16_t& {
        return table[(lead - 0x81) * kTrailCount + (trail - 0x40)];
    };
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (isTrail(trail)) at(lead, trail) = glibcChar(cd, lead, trail);
        }
    }
    iconv_close(cd);

    // The three user-defined areas, each filled row by row.
    std::uint16_t pua = 0xE000;
    for (int lead = 0xAA; lead <= 0xAF; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) at(lead, trail) = pua++;
    }
    for (int lead = 0xF8; lead <= 0xFE; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) at(lead, trail) = pua++;
    }
    for (int lead = 0xA1; lead <= 0xA7; ++lead) {
        for (int trail = 0x40; trail <= 0xA0; ++trail) {
            if (isTrail(trail)) at(lead, trail) = pua++;
        }
    }
    if (pua != 0xE766) {
        std::fprintf(stderr, "user-defined areas end at U+%04X, expected U+E766\n", pua);
        return 1;
    }
    // The remaining unmapped codes, in code order.
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (isTrail(trail) && at(lead, trail) == 0) at(lead, trail) = pua++;
        }
    }

    // No two codes may give the same character: the reverse table must be unambiguous.
    std::map<std::uint16_t, int> seen;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!isTrail(trail)) continue;
            const std::uint16_t u = at(lead, trail);
            if (u < 0x80 || u == 0x20AC || u == 0xF8F5 ||
                !seen.emplace(u, lead * 256 + trail).second) {
                std::fprintf(stderr, "%02X%02X gives U+%04X twice or clashes with a single byte\n",
                             lead, trail, u);
                return 1;
            }
        }
    }

    std::ifstream bestFitFile(argv[1]);
    if (!bestFitFile) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<std::pair<unsigned, unsigned>> bestFit;
    std::string line;
    while (std::getline(bestFitFile, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        unsigned u = 0, code = 0;
        if (!(fields >> std::hex >> u >> code) || u > 0xFFFF || code > 0xFFFF || seen.count(u)) {
            std::fprintf(stderr, "bad best-fit line: %s\n", line.c_str());
            return 1;
        }
        bestFit.emplace_back(u, code);
    }
    if (argc == 3) return verify(argv[2], table, bestFit);

    std::printf(
        "// Generated by tools/gbk/make_gbk_table.cpp from glibc's CP936 table and\n"
        "// tools/gbk/cp936-bestfit.txt. Do not edit.\n"
        "//\n"
        "// kGbkDoubleByte[(lead - 0x81) * %d + (trail - 0x40)]: the character of a double-byte\n"
        "// code, lead 0x81-0xFE, trail 0x40-0xFE; 0 where the trail byte is not one (0x7F).\n"
        "// kGbkBestFit: characters outside code page 936 written as a look-alike code.\n\n",
        kTrailCount);
    std::printf("constexpr std::uint16_t kGbkDoubleByte[%d] = {\n", kLeadCount * kTrailCount);
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::printf("%s0x%04X,%s", i % 12 == 0 ? "    " : "", table[i], i % 12 == 11 ? "\n" : " ");
    }
    std::printf("\n};\n\nconstexpr std::uint16_t kGbkBestFit[%zu][2] = {\n", bestFit.size());
    for (std::size_t i = 0; i < bestFit.size(); ++i) {
        std::printf("%s{0x%04X, 0x%04X},%s", i % 6 == 0 ? "    " : "", bestFit[i].first,
                    bestFit[i].second, i % 6 == 5 ? "\n" : " ");
    }
    std::printf("\n};\n");
    return 0;
}
