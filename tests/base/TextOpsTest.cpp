// The text primitives: the tricky cases of GBK stepping, case folding, trimming, splitting and
// reading integers, plus randomized comparisons of find and replace-all with a plain reference.
#include "base/TextOps.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace lumo {
namespace {

const Text kWideSpace = "\xA1\xA1";

TEST(TextOpsTest, FindNeverMatchesOnATrailByte) {
    // 0x81 0x62 is one character whose second byte is the code of "b".
    EXPECT_EQ(findText("\x81\x62\x62", "b"), 3);
    EXPECT_EQ(findLastText("\x81\x62", "b"), -1);
    EXPECT_EQ(findText("\x81\x62", "b"), -1);
    EXPECT_EQ(findText("\xD6\xD0\xCE\xC4", "\xD0\xCE"), -1);  // straddles two characters
    EXPECT_EQ(findText("\xD6\xD0\xCE\xC4", "\xCE\xC4"), 3);
    // A lone lead byte at the end ends the scan.
    EXPECT_EQ(findText("ab\x81", "b"), 2);
    EXPECT_EQ(findText("a\x81", "x"), -1);
}

TEST(TextOpsTest, FindStartPositions) {
    EXPECT_EQ(findText("abcabc", "abc", 2), 4);
    EXPECT_EQ(findText("abcabc", "abc", 0), 1);
    EXPECT_EQ(findText("abcabc", "abc", -5), 1);
    EXPECT_EQ(findText("abc", "c", 4), -1);
    EXPECT_EQ(findText("abc", "abcd"), -1);
    EXPECT_EQ(findLastText("abcabc", "abc"), 4);
    EXPECT_EQ(findLastText("", "a"), -1);
}

TEST(TextOpsTest, EmptyWhatIsFoundAtOneWhileTextRemains) {
    EXPECT_EQ(findText("abc", "", 2), 1);
    EXPECT_EQ(findText("abc", "", 3), 1);
    EXPECT_EQ(findText("abc", "", 4), -1);
    EXPECT_EQ(findText("", ""), -1);
}

TEST(TextOpsTest, CaseFoldingTouchesAsciiLettersOnly) {
    EXPECT_EQ(findText("xabc", "ABC", 1, true), 2);
    EXPECT_EQ(findText("xabc", "ABC"), -1);
    EXPECT_EQ(findText("\xC4\xE3"
                       "A",
                       "a", 1, true),
              3);
    // 0xC1 and 0xE1 differ by 0x20 like a letter pair, but are no ASCII letters.
    EXPECT_EQ(findText("\xC1\xA1", "\xE1\xA1", 1, true), -1);
    EXPECT_EQ(replaceAllText("aAa", "A", "x", true), "xxx");
    EXPECT_EQ(replaceAllText("aAa", "A", "x"), "axa");
}

TEST(TextOpsTest, LeftRightMiddle) {
    EXPECT_EQ(middleText("abcdef", 5, 10), "ef");
    EXPECT_EQ(middleText("abc", 0, 2), "");
    EXPECT_EQ(middleText("abc", 4, 1), "");
    EXPECT_EQ(middleText("abc", 2, 0), "");
    EXPECT_EQ(leftText("abc", 5), "abc");
    EXPECT_EQ(leftText("abc", -1), "");
    EXPECT_EQ(rightText("abc", 2), "bc");
    EXPECT_EQ(rightText("abc", 9), "abc");
    EXPECT_EQ(rightText("abc", 0), "");
}

TEST(TextOpsTest, TrimRemovesAsciiAndFullWidthSpacesOnly) {
    EXPECT_EQ(trimText(kWideSpace + "a b\t"), "a b\t");
    EXPECT_EQ(trimText("  " + kWideSpace + " x " + kWideSpace), "x");
    EXPECT_EQ(trimText("\r\nx\r\n"), "\r\nx\r\n");
    EXPECT_EQ(trimText(kWideSpace + kWideSpace), "");
    EXPECT_EQ(trimText(""), "");
    // 0xB0 0xA1 is a character; its trail byte and the next lead do not form a wide space.
    EXPECT_EQ(trimText("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
    EXPECT_EQ(trimText("x\xB0\xA1" + kWideSpace), "x\xB0\xA1");
    EXPECT_EQ(removeAllSpaces(" a" + kWideSpace + "b \xB0\xA1\xA1\xA1"), "ab\xB0\xA1");
}

TEST(TextOpsTest, SplitKeepsInnerEmptyPiecesAndDropsAnEmptyLastOne) {
    EXPECT_EQ(splitText("a,,b,", ","), (TextList{"a", "", "b"}));
    EXPECT_EQ(splitText("", ","), TextList{});
    EXPECT_EQ(splitText(",", ","), TextList{""});
    EXPECT_EQ(splitText("a; b; ", "; "), (TextList{"a", "b"}));
    EXPECT_EQ(splitText("\x81,x,y", ","), (TextList{"\x81,x", "y"}));  // "," is a trail byte
}

TEST(TextOpsTest, LowerCaseLeavesTrailBytesAlone) {
    EXPECT_EQ(lowerText("ABC\x81\x41Z"), "abc\x81\x41z");
    EXPECT_EQ(lowerText("\xC4\xE3"
                        "Hello"),
              "\xC4\xE3"
              "hello");
    EXPECT_EQ(lowerText("A\x81"), "a\x81");
}

TEST(TextOpsTest, IntegerOfText) {
    EXPECT_EQ(integerOfText("\xA3\xB1\xA3\xB2x"), 12);  // full-width 1 and 2
    EXPECT_EQ(integerOfText(" -7abc"), -7);
    EXPECT_EQ(integerOfText("abc"), 0);
    EXPECT_EQ(integerOfText(""), 0);
    EXPECT_EQ(integerOfText(kWideSpace + "\xA3\xAD"
                                         "5"),
              -5);  // full-width space and minus
    EXPECT_EQ(integerOfText("+42"), 42);
    EXPECT_EQ(integerOfText("\t5"), 0);
    EXPECT_EQ(integerOfText("99999999999"), 2147483647);
    EXPECT_EQ(integerOfText("-2147483648"), -2147483647 - 1);
    // The 64-bit reading, for article ids: the same rules, its own limits.
    EXPECT_EQ(integer64OfText("\xA3\xB3"
                              "000000001-1-1"),
              3000000001LL);
    EXPECT_EQ(integer64OfText("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(integer64OfText("9223372036854775808"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(integer64OfText("123456789012345678901234567890"),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(integer64OfText("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(integer64OfText("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(integer64OfText(" -7abc"), -7);
    EXPECT_EQ(textOfInteger(-305), "-305");
    EXPECT_EQ(textOfInteger(0), "0");
}

TEST(TextOpsTest, BytesStopAtTheFirstNul) {
    EXPECT_EQ(textOfBytes(Bytes("ab\0c", 4)), "ab");
    EXPECT_EQ(textOfBytes("abc"), "abc");
}

// --- Randomized comparison with a plain reference ---------------------------------------------

// The positions (0-based) where a unit begins, stepping from the start of the text: a byte of
// 0x80 or more takes the next byte with it; a lead byte at the very end is the last position.
std::vector<std::size_t> unitStarts(const Text& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 2;
    }
    return starts;
}

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameAt(const Text& text, std::size_t at, const Text& what, bool ignoreCase) {
    if (at + what.size() > text.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k) {
        const char a = text[at + k];
        const char b = what[k];
        if (ignoreCase ? fold(a) != fold(b) : a != b) return false;
    }
    return true;
}

int referenceFind(const Text& text, const Text& what, int start, bool ignoreCase) {
    if (start < 1) start = 1;
    if (static_cast<std::size_t>(start) > text.size()) return -1;
    if (what.empty()) return 1;
    for (std::size_t at : unitStarts(text)) {
        if (at + 1 >= static_cast<std::size_t>(start) && sameAt(text, at, what, ignoreCase)) {
            return static_cast<int>(at + 1);
        }
    }
    return -1;
}

Text referenceReplace(const Text& text, const Text& what, const Text& by, bool ignoreCase) {
    if (what.empty()) return text;
    Text out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (sameAt(text, i, what, ignoreCase)) {
            out += by;
            i += what.size();
        } else {
            const std::size_t width = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 2;
            out += text.substr(i, width);
            i += width;
        }
    }
    return out;
}

Text randomText(std::mt19937& rng, int maxLength) {
    // Few distinct bytes, so that matches are common: letters of both cases, a space, the lead
    // byte 0x81 and the trail-looking byte "b", and the two bytes of a full-width space.
    static const char alphabet[] = {'a', 'b', 'A', 'B', ' ', '\x81', '\xA1', '\xA3'};
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);
    Text text;
    for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
    return text;
}

TEST(TextOpsTest, FindAgreesWithTheReferenceOnRandomTexts) {
    std::mt19937 rng(20240501);
    for (int round = 0; round < 20000; ++round) {
        const Text text = randomText(rng, 12);
        const Text what = randomText(rng, 3);
        const int start = std::uniform_int_distribution<int>(-1, 14)(rng);
        const bool ignoreCase = round % 2 == 1;
        ASSERT_EQ(findText(text, what, start, ignoreCase),
                  referenceFind(text, what, start, ignoreCase))
            << "round " << round;
    }
}

TEST(TextOpsTest, ReplaceAllAgreesWithTheReferenceOnRandomTexts) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        const Text text = randomText(rng, 12);
        const Text what = randomText(rng, 3);
        const Text by = randomText(rng, 3);
        const bool ignoreCase = round % 3 == 0;
        ASSERT_EQ(replaceAllText(text, what, by, ignoreCase),
                  referenceReplace(text, what, by, ignoreCase))
            << "round " << round;
    }
}

// The stepwise scans the linear searches replaced: a comparison at every unit start.
int referenceFindLast(const Text& text, const Text& what) {
    if (text.empty()) return -1;
    if (what.empty()) return 1;
    int last = -1;
    for (std::size_t at : unitStarts(text)) {
        if (sameAt(text, at, what, false)) last = static_cast<int>(at + 1);
    }
    return last;
}

TextList referenceSplit(const Text& text, const Text& separator) {
    TextList pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) return {text};
    std::size_t pieceStart = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (sameAt(text, i, separator, false)) {
            pieces.push_back(text.substr(pieceStart, i - pieceStart));
            i += separator.size();
            pieceStart = i;
        } else if (static_cast<unsigned char>(text[i]) < 0x80) {
            i += 1;
        } else if (i + 1 < text.size()) {
            i += 2;
        } else {
            break;
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

// Long texts of two lead-looking bytes and a letter give many overlapping occurrences that begin
// inside a two-byte character, the case the boundary check of the linear search exists for.
TEST(TextOpsTest, LinearSearchesAgreeWithTheStepwiseScansOnPeriodicTexts) {
    std::mt19937 rng(11);
    static const char alphabet[] = {'a', 'A', '\x81', '\x82'};
    const auto randomOf = [&](int maxLength) {
        Text text;
        for (int n = std::uniform_int_distribution<int>(0, maxLength)(rng); n > 0; --n) {
            text += alphabet[std::uniform_int_distribution<int>(0, 3)(rng)];
        }
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const Text text = randomOf(60);
        const Text what = randomOf(6);
        const int start = std::uniform_int_distribution<int>(-1, 62)(rng);
        const bool ignoreCase = round % 2 == 1;
        ASSERT_EQ(findText(text, what, start, ignoreCase),
                  referenceFind(text, what, start, ignoreCase))
            << "round " << round;
        ASSERT_EQ(findLastText(text, what), referenceFindLast(text, what)) << "round " << round;
        ASSERT_EQ(splitText(text, what), referenceSplit(text, what)) << "round " << round;
        ASSERT_EQ(replaceAllText(text, what, "#", ignoreCase),
                  referenceReplace(text, what, "#", ignoreCase))
            << "round " << round;
    }
}

TEST(TextOpsTest, AHugeMarkerIsFoundOnItsBoundaryInAHugePage) {
    // 10 MB of two-byte characters whose halves also spell the marker one byte off.
    Text page;
    for (int i = 0; i < 5 * 1000 * 1000; ++i) page += "\x81\x82";
    Text marker;
    for (int i = 0; i < 500 * 1000; ++i) marker += "\x82\x81";
    EXPECT_EQ(findText(page, marker), -1);  // every copy begins on a trail byte
    page += "a" + marker;
    EXPECT_EQ(findText(page, marker), 10 * 1000 * 1000 + 2);
}

}  // namespace
}  // namespace lumo
