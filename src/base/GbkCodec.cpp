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

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

// Where the processor may have SSSE3 and the compiler can target it for one function, runs of
// ASCII go sixteen bytes and runs of Chinese four characters at a time; elsewhere eight bytes and
// one character at a time, with the same result. A build may say LUMO_GBK_SSSE3=0 to test the
// narrow way on such a processor.
#ifndef LUMO_GBK_SSSE3
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LUMO_GBK_SSSE3 1
#else
#define LUMO_GBK_SSSE3 0
#endif
#endif
#if LUMO_GBK_SSSE3
#include <immintrin.h>
#endif

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

// One three-byte character that needs none of the checks of convertSequence (lead E1 to EF but
// ED, two continuation bytes), with one more byte of input after it; false, with nothing done,
// for anything else. Nearly every such character has a two-byte code, so that case is a branch
// the processor predicts: where the next character goes is then known before the table answers,
// and the lookups of a run overlap instead of waiting on each other.
inline bool convertPlainThreeByte(Utf8ToGbkCursor& c) {
    if (c.i + 4 > c.n) return false;
    // The lead, its two continuation bytes and one more byte, read at once, so the character's
    // shape is checked with one mask.
    std::uint32_t w;
    std::memcpy(&w, c.s + c.i, 4);
    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap32(w);
    const std::uint32_t plane = w & 0x0F;
    if ((w & 0xC0C0F0) != 0x8080E0 || plane == 0 || plane == 0x0D) return false;
    const std::uint16_t code = c.code[plane << 12 | (w >> 2 & 0x0FC0) | (w >> 16 & 0x3F)];
    c.i += 3;
    if (code >= 0x100) [[likely]] {
        c.o[0] = static_cast<char>(code >> 8);
        c.o[1] = static_cast<char>(code & 0xFF);
        c.o += 2;
    } else {
        *c.o++ = static_cast<char>(code);
    }
    return true;
}

#if LUMO_GBK_SSSE3
// Runs of ASCII without NUL sixteen bytes at a time. Each load is stored whole and the output
// moves on by its bytes up to the first that ends the run: the output has room for that, as it
// is never ahead of the input.
inline __attribute__((target("ssse3"))) void copyAsciiRunSixteen(Utf8ToGbkCursor& c) {
    const unsigned char* const s = c.s;
    const std::size_t n = c.n;
    std::size_t i = c.i;
    char* o = c.o;
    while (i + 16 <= n) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const auto stops = static_cast<unsigned>(
            _mm_movemask_epi8(in) | _mm_movemask_epi8(_mm_cmpeq_epi8(in, _mm_setzero_si128())));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), in);
        if (stops != 0) {
            const auto ascii = static_cast<std::size_t>(__builtin_ctz(stops));
            o += ascii;
            i += ascii;
            break;
        }
        o += 16;
        i += 16;
    }
    c.i = i;
    c.o = o;
}

// Four plain three-byte characters at a time (see convertPlainThreeByte), each with a two-byte
// code, for as long as the next four are such: one shuffle spreads the twelve bytes over four
// lanes, where the shapes are checked and the code points formed together; then four lookups and
// one eight-byte store. Stops, with the four left to the caller, at anything else, and 16 bytes
// before the end of the input (a load reads 16).
inline __attribute__((target("ssse3"))) void convertPlainThreeByteQuads(Utf8ToGbkCursor& c) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i narrow = _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i shapeBits = _mm_set1_epi32(0xC0C0F0);
    const __m128i shape = _mm_set1_epi32(0x8080E0);
    const __m128i planeBits = _mm_set1_epi32(0x0F);
    const __m128i surrogatePlane = _mm_set1_epi32(0x0D);
    const __m128i middleBits = _mm_set1_epi32(0x3F00);
    const __m128i lastBits = _mm_set1_epi32(0x3F0000);
    // The cursor is read into locals and written back once: stores through the output pointer
    // could otherwise alias it and force a reload every time round.
    const unsigned char* const s = c.s;
    const std::uint16_t* const code = c.code.data();
    const std::size_t n = c.n;
    std::size_t i = c.i;
    char* o = c.o;
    while (i + 16 <= n) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i lanes = _mm_shuffle_epi8(in, spread);  // lane k: lead | c1 << 8 | c2 << 16
        const __m128i plane = _mm_and_si128(lanes, planeBits);
        const __m128i good = _mm_cmpeq_epi32(_mm_and_si128(lanes, shapeBits), shape);
        const __m128i bad = _mm_or_si128(_mm_cmpeq_epi32(plane, _mm_setzero_si128()),
                                         _mm_cmpeq_epi32(plane, surrogatePlane));
        if (_mm_movemask_epi8(_mm_andnot_si128(bad, good)) != 0xFFFF) break;
        const __m128i points =
            _mm_or_si128(_mm_or_si128(_mm_slli_epi32(plane, 12),
                                      _mm_srli_epi32(_mm_and_si128(lanes, middleBits), 2)),
                         _mm_srli_epi32(_mm_and_si128(lanes, lastBits), 16));
        const auto four =
            static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_shuffle_epi8(points, narrow)));
        const std::uint64_t c0 = code[four & 0xFFFF];
        const std::uint64_t c1 = code[four >> 16 & 0xFFFF];
        const std::uint64_t c2 = code[four >> 32 & 0xFFFF];
        const std::uint64_t c3 = code[four >> 48];
        if (std::min(std::min(c0, c1), std::min(c2, c3)) < 0x100) break;
        // Lead byte first in each code: swap the two bytes of every 16-bit lane.
        const std::uint64_t codes = c0 | c1 << 16 | c2 << 32 | c3 << 48;
        constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFULL;
        const std::uint64_t out = (codes & kLowBytes) << 8 | (codes >> 8 & kLowBytes);
        std::memcpy(o, &out, 8);
        o += 8;
        i += 12;
    }
    c.i = i;
    c.o = o;
}
#endif

// A run of ASCII without NUL (see copyAsciiRun).
template <bool kWide>
[[gnu::always_inline]] inline void copyAscii(Utf8ToGbkCursor& c) {
#if LUMO_GBK_SSSE3
    if constexpr (kWide) copyAsciiRunSixteen(c);
#endif
    copyAsciiRun(c);
}

// A run of plain three-byte characters (see convertPlainThreeByte); a character in the last
// three bytes of the input is left to convertSequence.
template <bool kWide>
[[gnu::always_inline]] inline void convertThreeByteRun(Utf8ToGbkCursor& c) {
#if LUMO_GBK_SSSE3
    if constexpr (kWide) {
        // Four at a time only after four one at a time: the short runs of a page's markup, a
        // name or a word, would pay for a wider try each.
        for (;;) {
            for (int k = 0; k < 4; ++k) {
                if (!convertPlainThreeByte(c)) return;
            }
            convertPlainThreeByteQuads(c);
        }
    }
#endif
    while (convertPlainThreeByte(c)) {
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

// Converts the n bytes at s to GBK at o, up to the first NUL.
template <bool kWide>
[[gnu::always_inline]] inline Utf8ToGbkStep convertAll(const unsigned char* s, std::size_t n,
                                                       char* o) {
    Utf8ToGbkCursor c{s, n, 0, o, encodeTable().code};
    while (c.i < c.n) {
        copyAscii<kWide>(c);
        convertThreeByteRun<kWide>(c);
        if (c.i >= c.n) break;
        const unsigned char b = c.s[c.i];
        if (b >= 0x80) {
            convertSequence(c);
        } else if (b == 0) {
            return Utf8ToGbkStep{c.o, true};  // the text ends at the first NUL
        } else {
            *c.o++ = static_cast<char>(b);
            ++c.i;
        }
    }
    return Utf8ToGbkStep{c.o, false};
}

#if LUMO_GBK_SSSE3
// The same, built for processors with SSSE3, so the wide steps (sixteen ASCII bytes, four
// Chinese characters) and everything around them are compiled into one loop.
__attribute__((target("ssse3"))) Utf8ToGbkStep convertAllWide(const unsigned char* s, std::size_t n,
                                                              char* o) {
    return convertAll<true>(s, n, o);
}
#endif

}  // namespace

Utf8ToGbkStep convertUtf8ToGbk(const char* data, std::size_t size, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(data);
#if LUMO_GBK_SSSE3
    static const bool wide = __builtin_cpu_supports("ssse3");
    if (wide) return convertAllWide(in, size, out);
#endif
    return convertAll<false>(in, size, out);
}

Text utf8ToGbk(const Bytes& data) {
    // Never longer than the input: every character or replacement takes at least as many
    // UTF-8 bytes as GBK bytes.
    Text out;
    out.resize(data.size());
    const Utf8ToGbkStep step = convertUtf8ToGbk(data.data(), data.size(), out.data());
    out.resize(static_cast<std::size_t>(step.end - out.data()));
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
