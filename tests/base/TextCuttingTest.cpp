// Cutting a text between markers.
#include "base/TextCutting.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

const Text kQuotePlaceholder = gbk("#引号");

TEST(TextCuttingTest, TextBetweenCutsAfterLeftAndBeforeTheNextRight) {
    EXPECT_EQ(textBetween("<b>x</b><b>y</b>", "<b>", "</b>"), "x");
    EXPECT_EQ(textBetween("a[]b", "[", "]"), "");
    EXPECT_EQ(textBetween("abc", "", "c"), "ab");  // empty left marker: from the start
    EXPECT_EQ(textBetween("abc", "a", ""), "");    // empty right marker: always empty
    EXPECT_EQ(textBetween("", "", ""), "");
}

TEST(TextCuttingTest, TextBetweenIsEmptyWhenAMarkerIsMissing) {
    EXPECT_EQ(textBetween("xyz]", "[", "]"), "");       // left absent, right present
    EXPECT_EQ(textBetween("] then [x", "[", "]"), "");  // right only before left
    EXPECT_EQ(textBetween("[x", "[", "]"), "");
    EXPECT_EQ(textBetween("ab[", "[", "]"), "");            // left marker at the very end
    EXPECT_EQ(textBetween("<A>x</a>", "<a>", "</a>"), "");  // markers are matched with case
}

TEST(TextCuttingTest, TextBetweenStepsOverTwoByteCharacters) {
    // 0x81 0x5B holds the code of "[" as its second byte; the real "[" comes after it.
    EXPECT_EQ(textBetween("\x81[a[b]", "[", "]"), "b");
    EXPECT_EQ(textBetween(gbk("标题：新闻。"), gbk("："), gbk("。")), gbk("新闻"));
}

TEST(TextCuttingTest, QuotePlaceholderInAMarkerStandsForADoubleQuote) {
    const Text page = "<a href=\"/t/1\">one</a>";
    EXPECT_EQ(textBetween(page, "href=" + kQuotePlaceholder, kQuotePlaceholder + ">"), "/t/1");
    EXPECT_EQ(textBetween(page, "href=\"", "\">"), "/t/1");
    // Only the markers are rewritten, never the text.
    EXPECT_EQ(textBetween("x" + kQuotePlaceholder + "y", "x", "y"), kQuotePlaceholder);
}

TEST(TextCuttingTest, AllTextsBetweenCollectsTrimmedPieces) {
    TextList list{"stale"};
    EXPECT_EQ(allTextsBetween("http://x/[1]/t[3].html", "[", "]", list), 2);
    EXPECT_EQ(list, (TextList{"1", "3"}));

    EXPECT_EQ(allTextsBetween("a[  ]b[ 2 ]", "[", "]", list), 1);  // spaces only: nothing
    EXPECT_EQ(list, TextList{"2"});

    EXPECT_EQ(allTextsBetween("[a[b]", "[", "]", list), 1);
    EXPECT_EQ(list, TextList{"a[b"});

    EXPECT_EQ(allTextsBetween("no brackets", "[", "]", list), 0);
    EXPECT_TRUE(list.empty());

    EXPECT_EQ(allTextsBetween("[1][2", "[", "]", list), 1);  // unclosed last bracket
    EXPECT_EQ(list, TextList{"1"});
}

TEST(TextCuttingTest, AllTextsBetweenIgnoresAsciiCaseAndEmptyMarkers) {
    TextList list;
    EXPECT_EQ(allTextsBetween("<B>x</b><b>y</B>", "<b>", "</b>", list), 2);
    EXPECT_EQ(list, (TextList{"x", "y"}));
    // Markers that are found everywhere would never move the scan on.
    EXPECT_EQ(allTextsBetween("abc", "", "]", list), 0);
    EXPECT_EQ(allTextsBetween("a[b]", "[", "", list), 0);
    EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace lumo
