// Table-driven conversions between UTF-8 and GBK that reproduce the Windows converter with no
// flags: MultiByteToWideChar(65001) followed by WideCharToMultiByte(936), and
// MultiByteToWideChar(936) followed by UTF-8 encoding.
//
// How Windows behaves, and where each rule comes from:
//
// * UTF-8 decoding (MultiByteToWideChar 65001, Windows Vista and later). Invalid input becomes
//   U+FFFD. The count of U+FFFD follows the state machine of RtlUTF8ToUnicodeN, which
//   MultiByteToWideChar uses: a byte that cannot begin a sequence (0x80-0xC1, 0xF5-0xFF) is one
//   U+FFFD; a valid lead followed by too few continuation bytes is one U+FFFD for the lead and the
//   continuation bytes read so far, and the byte that broke the sequence is read again; a second
//   byte that makes the sequence overlong, a surrogate or above U+10FFFF (E0 80-9F, ED A0-BF,
//   F0 80-8F, F4 90-BF) is taken together with the lead as one U+FFFD. A sequence cut off by the
//   end of the data is one U+FFFD. The byte-by-byte cases are confirmed by the ReactOS test suite
//   run against Windows 10 (kernel32 MultiByteToWideChar test: "\xC0\xC0\x80" gives three U+FFFD,
//   "\xE0\xC0" two, "\xE0\x20\xC0" U+FFFD, space, U+FFFD, 0xF8-0xFF one each).
// * UTF-16 to code page 936 (WideCharToMultiByte). Windows maps each UTF-16 code unit on its own;
//   its algorithm does not look at surrogate pairs ("A surrogate pair is not supported in this
//   algorithm", [MS-UCODEREF] 3.1.5.1.1.2, the pseudocode for mapping a UTF-16 string to a code
//   page string). Both halves of a pair are unmapped and each becomes the default character, so a
//   character outside the BMP, an emoji for instance, comes out as "??". Wine's wsprintfA test,
//   which also runs on Windows, expects the same "??" for U+1F377.
// * With no flags, WideCharToMultiByte applies the code page's best-fit table: some characters
//   outside GBK are written as a look-alike (U+00C0 as the GBK a-grave, U+00A5 as the full-width
//   yen sign). Every other unmapped character, U+FFFD included, becomes "?".
// * Code page 936 maps 0x80 to U+20AC, 0xFF to U+F8F5 and every one of the 23,940 double-byte
//   codes, the user-defined areas to private-use characters (see Gbk936Table.inc).
// * MultiByteToWideChar(936): a lead byte and the byte after it are read as one character; a pair
//   whose second byte is no trail byte, and a lead byte at the very end, become the code page's
//   default Unicode character, which for code page 936 is "?" (U+003F).
#include "base/GbkCodec.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace lumo {
namespace {

#include "base/Gbk936Table.inc"

constexpr int kTrailCount = 0xFE - 0x40 + 1;
constexpr std::uint16_t kDefaultChar = '?';
constexpr char32_t kEuro = 0x20AC;
constexpr char32_t kByteFF = 0xF8F5;

inline bool isTrailByte(unsigned char t) {
    return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

inline std::uint16_t doubleByteChar(unsigned char lead, unsigned char trail) {
    return kGbkDoubleByte[(lead - 0x81) * kTrailCount + (trail - 0x40)];
}

// For every UTF-16 code unit, the code page 936 code WideCharToMultiByte writes: below 0x100 one
// byte, otherwise lead byte and trail byte.
struct EncodeTable {
    std::array<std::uint16_t, 0x10000> code;

    EncodeTable() {
        code.fill(kDefaultChar);
        for (unsigned u = 0; u < 0x80; ++u) code[u] = static_cast<std::uint16_t>(u);
        code[kEuro] = 0x80;
        code[kByteFF] = 0xFF;
        for (const auto& pair : kGbkBestFit) code[pair[0]] = pair[1];
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
                const std::uint16_t u = doubleByteChar(static_cast<unsigned char>(lead),
                                                       static_cast<unsigned char>(trail));
                code[u] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
    }
};

const EncodeTable& encodeTable() {
    static const EncodeTable table;
    return table;
}

inline std::uint16_t swapBytes(std::uint16_t v) {
    return static_cast<std::uint16_t>(v << 8 | v >> 8);
}

inline bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

inline char* putUtf8(char* o, char32_t u) {
    if (u < 0x80) {
        *o++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *o++ = static_cast<char>(0xC0 | (u >> 6));
        *o++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *o++ = static_cast<char>(0xE0 | (u >> 12));
        *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return o;
}

}  // namespace

namespace {

// Where utf8ToGbk stands: the input, how far it has read, and where it writes next.
struct Utf8ToGbkCursor {
    const unsigned char* s;
    std::size_t n;
    std::size_t i;
    char* o;
    const std::array<std::uint16_t, 0x10000>& code;

    void put(char32_t u) {
        const std::uint16_t c = code[u];
        if (c < 0x100) {
            *o++ = static_cast<char>(c);
        } else {
            *o++ = static_cast<char>(c >> 8);
            *o++ = static_cast<char>(c & 0xFF);
        }
    }
    // A replacement for `length` bytes that do not form a character.
    void replace(std::size_t length) {
        *o++ = '?';
        i += length;
    }
};

// Runs of ASCII without NUL go eight bytes at a time.
inline void copyAsciiRun(Utf8ToGbkCursor& c) {
    while (c.i + 8 <= c.n) {
        std::uint64_t word;
        std::memcpy(&word, c.s + c.i, 8);
        constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
        constexpr std::uint64_t kLow = 0x0101010101010101ULL;
        if ((word & kHigh) != 0 || ((word - kLow) & ~word & kHigh) != 0) return;
        std::memcpy(c.o, c.s + c.i, 8);
        c.o += 8;
        c.i += 8;
    }
}

// Runs of three-byte characters that need none of the checks of convertSequence (leads E1 to EF
// but ED, two continuation bytes) go without them; a character in the last three bytes of the
// input is left to convertSequence. Nearly every such character has a two-byte code,
// so that case is a branch the processor predicts: where the next character goes is then known
// before the table answers, and the lookups of a run overlap instead of waiting on each other.
inline void convertThreeByteRun(Utf8ToGbkCursor& c) {
    while (c.i + 4 <= c.n) {
        // The lead, its two continuation bytes and one more byte, read at once, so the
        // character's shape is checked with one mask.
        std::uint32_t w;
        std::memcpy(&w, c.s + c.i, 4);
        if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap32(w);
        const std::uint32_t plane = w & 0x0F;
        if ((w & 0xC0C0F0) != 0x8080E0 || plane == 0 || plane == 0x0D) return;
        const std::uint16_t code = c.code[plane << 12 | (w >> 2 & 0x0FC0) | (w >> 16 & 0x3F)];
        c.i += 3;
        if (code >= 0x100) [[likely]] {
            c.o[0] = static_cast<char>(code >> 8);
            c.o[1] = static_cast<char>(code & 0xFF);
            c.o += 2;
        } else {
            *c.o++ = static_cast<char>(code);
        }
    }
}

// Converts the sequence at c.i that starts with a byte of 0x80 or above: one character, or one
// replacement for the bytes that cannot form one.
void convertSequence(Utf8ToGbkCursor& c) {
    const std::size_t i = c.i;
    const unsigned char b = c.s[i];
    if (b < 0xC2 || b > 0xF4) return c.replace(1);  // cannot begin a sequence
    if (i + 1 >= c.n || !isContinuation(c.s[i + 1])) return c.replace(1);  // lead alone
    const unsigned char c1 = c.s[i + 1];
    if (b < 0xE0) {
        c.put(static_cast<char32_t>((b & 0x1F) << 6 | (c1 & 0x3F)));
        c.i += 2;
        return;
    }
    // A second byte that makes the sequence overlong, a surrogate or too large is taken
    // together with the lead as one replacement.
    if ((b == 0xE0 && c1 < 0xA0) || (b == 0xED && c1 >= 0xA0) || (b == 0xF0 && c1 < 0x90) ||
        (b == 0xF4 && c1 >= 0x90)) {
        return c.replace(2);
    }
    if (i + 2 >= c.n || !isContinuation(c.s[i + 2])) return c.replace(2);
    const unsigned char c2 = c.s[i + 2];
    if (b < 0xF0) {
        c.put(static_cast<char32_t>((b & 0x0F) << 12 | (c1 & 0x3F) << 6 | (c2 & 0x3F)));
        c.i += 3;
        return;
    }
    if (i + 3 >= c.n || !isContinuation(c.s[i + 3])) return c.replace(3);
    // A character outside the BMP: two surrogates, neither of which code page 936 maps.
    *c.o++ = '?';
    c.replace(4);
}

}  // namespace

Text utf8ToGbk(const Bytes& data) {
    // Never longer than the input: every character or replacement takes at least as many
    // UTF-8 bytes as GBK bytes.
    Text out;
    out.resize(data.size());
    Utf8ToGbkCursor c{reinterpret_cast<const unsigned char*>(data.data()), data.size(), 0,
                      out.data(), encodeTable().code};
    while (c.i < c.n) {
        copyAsciiRun(c);
        convertThreeByteRun(c);
        if (c.i >= c.n) break;
        const unsigned char b = c.s[c.i];
        if (b >= 0x80) {
            convertSequence(c);
        } else if (b == 0) {
            break;  // the text ends at the first NUL
        } else {
            *c.o++ = static_cast<char>(b);
            ++c.i;
        }
    }
    out.resize(static_cast<std::size_t>(c.o - out.data()));
    return out;
}

std::string gbkToUtf8(const Text& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    // Every byte gives at most three UTF-8 bytes (0x80 and 0xFF alone do).
    std::string out;
    out.resize(n * 3);
    char* o = out.data();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t u;
        if (b == 0x80) {
            u = kEuro;
            ++i;
        } else if (b == 0xFF) {
            u = kByteFF;
            ++i;
        } else if (i + 1 < n) {
            const unsigned char t = s[i + 1];
            u = isTrailByte(t) ? doubleByteChar(b, t) : kDefaultChar;
            i += 2;
        } else {
            u = kDefaultChar;  // a lead byte at the very end
            ++i;
        }
        o = putUtf8(o, u);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

}  // namespace lumo
