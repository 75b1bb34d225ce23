// The GBK converter against an independent reference and against the Windows behaviour.
//
// Reference mapping: ICU's "windows-936-2000" converter, ICU's copy of the Windows code page 936
// table (every double-byte code, the euro sign at 0x80 and the private-use mappings). ICU knows
// the round-trip mappings only; the best-fit look-alikes that WideCharToMultiByte adds with no
// flags are checked separately.
#include <unicode/ucnv.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "base/GbkCodec.h"
#include "base/LumoVersion.h"

namespace lumo {
namespace {

std::string utf8Of(char32_t u) {
    std::string s;
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (u >> 18));
        s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
    return s;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// ICU's windows-936 table, one character at a time, without substitution.
class Windows936Reference {
public:
    Windows936Reference() {
        UErrorCode error = U_ZERO_ERROR;
        converter_.reset(ucnv_open("windows-936-2000", &error));
        if (U_FAILURE(error)) converter_.reset();
        if (converter_) {
            ucnv_setToUCallBack(converter_.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr,
                                nullptr, &error);
            ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                                  nullptr, &error);
            ucnv_setFallback(converter_.get(), false);
        }
    }

    bool available() const { return converter_ != nullptr; }

    // The one BMP character of a code, or -1 when ICU has none.
    long toUnicode(const std::string& code) {
        UErrorCode error = U_ZERO_ERROR;
        UChar out[4];
        ucnv_reset(converter_.get());
        const int32_t n = ucnv_toUChars(converter_.get(), out, 4, code.data(),
                                        static_cast<int32_t>(code.size()), &error);
        if (U_FAILURE(error) || n != 1) return -1;
        return out[0];
    }

    // The code of a BMP character, or empty when ICU has no round-trip mapping.
    std::string fromUnicode(char16_t u) {
        UErrorCode error = U_ZERO_ERROR;
        char out[8];
        const UChar in[1] = {u};
        ucnv_reset(converter_.get());
        const int32_t n = ucnv_fromUChars(converter_.get(), out, sizeof out, in, 1, &error);
        if (U_FAILURE(error) || n <= 0) return std::string();
        return std::string(out, static_cast<std::size_t>(n));
    }

private:
    struct Closer {
        void operator()(UConverter* c) const { ucnv_close(c); }
    };
    std::unique_ptr<UConverter, Closer> converter_;
};

bool isTrail(int t) {
    return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

TEST(GbkCodecTest, EveryDoubleByteCodeMatchesTheReferenceBothWays) {
    Windows936Reference reference;
    ASSERT_TRUE(reference.available());
    int codes = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!isTrail(trail)) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const long expected = reference.toUnicode(code);
            ASSERT_GE(expected, 0) << hex(code);
            const std::string utf8 = gbkToUtf8(code);
            ASSERT_EQ(utf8, utf8Of(static_cast<char32_t>(expected))) << hex(code);
            ASSERT_EQ(utf8ToGbk(utf8), code) << hex(code);
            ++codes;
        }
    }
    EXPECT_EQ(codes, 23940);
}

TEST(GbkCodecTest, EveryBmpCharacterMatchesTheReferenceOrIsBestFitOrDefault) {
    Windows936Reference reference;
    ASSERT_TRUE(reference.available());
    int roundTrip = 0;
    int bestFit = 0;
    for (char32_t u = 1; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;  // not representable in UTF-8
        const std::string ours = utf8ToGbk(utf8Of(u));
        const std::string expected = reference.fromUnicode(static_cast<char16_t>(u));
        if (!expected.empty()) {
            ASSERT_EQ(hex(ours), hex(expected)) << "U+" << std::hex << static_cast<long>(u);
            ++roundTrip;
        } else if (ours != "?") {
            // A best-fit look-alike: a real code of the code page, standing for another character.
            ASSERT_TRUE(ours.size() == 1 || ours.size() == 2) << std::hex << static_cast<long>(u);
            EXPECT_NE(gbkToUtf8(ours), utf8Of(u)) << std::hex << static_cast<long>(u);
            ++bestFit;
        }
    }
    EXPECT_EQ(roundTrip, 0x80 - 1 + 1 + 1 + 23940);  // ASCII, 0x80, 0xFF, the double-byte codes
    EXPECT_EQ(bestFit, 412);
}

TEST(GbkCodecTest, SingleBytesAndWindowsSpecifics) {
    EXPECT_EQ(utf8ToGbk("\xE2\x82\xAC"), "\x80");  // euro sign
    EXPECT_EQ(utf8ToGbk("\xEF\xA3\xB5"), "\xFF");  // U+F8F5
    EXPECT_EQ(gbkToUtf8("\x80\xFF"), "\xE2\x82\xAC\xEF\xA3\xB5");
    EXPECT_EQ(utf8ToGbk("\xEE\x80\x80"), "\xAA\xA1");  // U+E000, first user-defined code
    EXPECT_EQ(utf8ToGbk("\xEE\x93\x86"), "\xA1\x40");  // U+E4C6
    EXPECT_EQ(utf8ToGbk("\xEE\x9D\xA6"), "\xA2\xAB");  // U+E766
    EXPECT_EQ(utf8ToGbk("\xE2\x80\x94\xE2\x80\x95"), "\xA1\xAA\xA8\x44");  // U+2014, U+2015
    // Best fit with no flags: A-grave as a-grave, yen as full-width yen, broken bar as "|".
    EXPECT_EQ(utf8ToGbk("\xC3\x80"), "\xA8\xA4");
    EXPECT_EQ(utf8ToGbk("\xC2\xA5"), "\xA3\xA4");
    EXPECT_EQ(utf8ToGbk("\xC2\xA6"), "|");
    // No mapping and no best fit: the default character.
    EXPECT_EQ(utf8ToGbk("\xC2\x80"), "?");                           // U+0080
    EXPECT_EQ(utf8ToGbk("\xEF\xBF\xBD"), "?");                       // U+FFFD itself
    EXPECT_EQ(gbk("\xE4\xB8\xAD\xE6\x96\x87"), "\xD6\xD0\xCE\xC4");  // the word "Chinese"
}

struct Utf8Case {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(GbkCodecTest, InvalidUtf8BecomesOneQuestionMarkPerWindowsReplacement) {
    const Utf8Case cases[] = {
        // Bytes that cannot begin a sequence, one replacement each.
        {"lone continuation", "a\x80z", "a?z"},
        {"C0 and continuation", "\xC0\xC0\x80", "???"},
        {"C1", "\xC1\xBF", "??"},
        {"F5", "\xF5\x80\x80\x80", "????"},
        {"FF", "\xFF", "?"},
        {"five-byte form", "\xF8\xA3\xA3\xA3\xA3", "?????"},
        {"many continuations", "\x82\xA0\x82\xA2", "????"},
        // A lead cut short: one replacement for what was read, the breaking byte read again.
        {"lead before lead", "\xE0\xC0", "??"},
        {"lead before space", "\xE0\x20\xC0", "? ?"},
        {"two of three",
         "\xE6\x97"
         "b",
         "?b"},
        {"three of four",
         "\xF0\x9F\x98"
         "b",
         "?b"},
        {"two of three at end", "a\xE6\x97", "a?"},
        {"lead at end", "\xE6", "?"},
        {"lead before ASCII at end",
         "\xE6"
         "A",
         "?A"},
        // Overlong, surrogate and too-large forms: the lead and the offending byte are one.
        {"overlong two-byte", "\xC0\xAF", "??"},
        {"overlong three-byte", "\xE0\x80\xAF", "??"},
        {"overlong four-byte", "\xF0\x80\x80\xAF", "???"},
        {"surrogate", "\xED\xA0\x80", "??"},
        {"surrogate pair encoded", "\xED\xA0\xBD\xED\xB8\x80", "????"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "???"},
        // Valid neighbours of those forms.
        {"last before surrogates", "\xED\x9F\xBF", "?"},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", "??"},
    };
    for (const auto& c : cases) EXPECT_EQ(utf8ToGbk(c.input), c.expected) << c.name;
}

TEST(GbkCodecTest, CharacterOutsideTheBmpGivesTwoQuestionMarks) {
    EXPECT_EQ(utf8ToGbk("\xF0\x9F\x98\x80"), "??");
    EXPECT_EQ(utf8ToGbk("a\xF0\x9F\x98\x80\xE4\xB8\xAD"), "a??\xD6\xD0");
}

TEST(GbkCodecTest, ResultStopsAtTheFirstNul) {
    EXPECT_EQ(utf8ToGbk(Bytes()), "");
    EXPECT_EQ(utf8ToGbk(Bytes("ab\0cd", 5)), "ab");
    EXPECT_EQ(utf8ToGbk(Bytes("\0ab", 3)), "");
    EXPECT_EQ(utf8ToGbk(Bytes("\xE4\xB8\0x", 4)), "?");  // the cut-off lead still counts
}

TEST(GbkCodecTest, GbkToUtf8OfBytesThatAreNoCharacter) {
    EXPECT_EQ(gbkToUtf8("\x81"
                        " x"),
              "?x");  // lead and the byte after it read as one
    EXPECT_EQ(gbkToUtf8("a\x81\x7F"), "a?");
    EXPECT_EQ(gbkToUtf8("ab\xB0"), "ab?");  // lead byte at the end
    EXPECT_EQ(gbkToUtf8(""), "");
}

TEST(GbkCodecTest, MixedTextRoundTrips) {
    const Text text = "<a href=\"/t/1\">\xD6\xD0\xCE\xC4 title \x80 \xAA\xA1</a>\r\n";
    EXPECT_EQ(utf8ToGbk(gbkToUtf8(text)), text);
}

}  // namespace
}  // namespace lumo

namespace lumo {
namespace {

// Long runs take faster paths than single characters: a text converted whole must give exactly
// what its characters give one by one, for every BMP character, with ASCII and broken sequences
// in between and at the edges of the runs.
TEST(GbkCodecTest, RunsConvertAsTheirCharactersDo) {
    const std::pair<const char*, const char*> separators[] = {
        {"", ""},
        {"a", "a"},
        {"<b>", "<b>"},
        {"\xE4\xB8", "?"},
        {"\xC3", "?"},
        {"\xE0\x80", "?"},
        {"\xE0\x9F\xBF", "??"},
        {"\xED\xA0", "?"},
        {"\xED\xA0\x80", "??"},
        {"\xEF\xBF\xBD", "?"},
        {"\xF0\x9F\x98\x80", "??"},
        {"\xE9\x41", "?A"},
        {"\x80", "?"},
    };
    std::string whole;
    std::string expected;
    int k = 0;
    for (char32_t u = 0x80; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const std::string piece = utf8Of(u);
        whole += piece;
        expected += utf8ToGbk(piece);
        if (u % 7 == 0) {
            const auto& separator = separators[k++ % std::size(separators)];
            whole += separator.first;
            expected += separator.second;
        }
    }
    ASSERT_EQ(hex(utf8ToGbk(whole)), hex(expected));
}

// Long runs, the case the converter takes several characters or bytes at a time: runs of
// Chinese and of ASCII, with now and then something that breaks a run's fast path: a character
// with a one-byte code (the euro sign), one with none (U+FFFD), a surrogate's bytes, an overlong
// sequence, a two-byte character, a cut-off sequence, a NUL (which ends the text). The whole
// must convert as its pieces do one by one.
TEST(GbkCodecTest, LongRunsConvertAsTheirPiecesDo) {
    const std::pair<const char*, const char*> breakers[] = {
        {"\xE2\x82\xAC", "\x80"},
        {"\xEF\xBF\xBD", "?"},
        {"\xED\xA0\x80", "??"},
        {"\xE0\x9F\xBF", "??"},
        {"\xC3\xA9", "\xA8\xA6"},
        {"\xE4\xB8", "?"},
        {"\x80", "?"},
        {"\xE4\xB8\xAD", "\xD6\xD0"},
    };
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    for (int round = 0; round < 400; ++round) {
        std::string whole;
        std::string expected;
        bool ended = false;  // a NUL went in: nothing after it converts
        const std::uint32_t length = 1 + next(300);
        for (std::uint32_t k = 0; k < length; ++k) {
            std::string piece;
            std::string converted;
            const std::uint32_t kind = next(20);
            if (kind == 0) {
                const auto& breaker = breakers[next(std::size(breakers))];
                piece = breaker.first;
                converted = breaker.second;
            } else if (kind == 1 && round % 4 == 0) {
                piece = std::string(1, '\0');
                ended = true;
            } else if (kind < 5) {
                piece = std::string(1 + next(40), static_cast<char>('!' + next(90)));
                converted = piece;
            } else {
                const char32_t u = 0x4E00 + next(0x9FA5 - 0x4E00 + 1);  // CJK unified ideographs
                piece = utf8Of(u);
                converted = utf8ToGbk(piece);
            }
            whole += piece;
            if (!ended) expected += converted;
        }
        ASSERT_EQ(hex(utf8ToGbk(whole)), hex(expected)) << "round " << round;
    }
}

// The title is kept as GBK bytes written out by hand; they must read as the program's name.
TEST(GbkCodecTest, TheTitleWrittenOutInGbkReadsAsTheProgramsName) {
    EXPECT_EQ(gbkToUtf8(lumoTitle()), std::string("鲁莫网站更新提醒工具 v") + lumoVersion());
}

}  // namespace
}  // namespace lumo
