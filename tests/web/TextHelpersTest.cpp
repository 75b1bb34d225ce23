// Cutting between markers, SQL escaping and cookie merging.
#include "web/TextHelpers.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

const Text kQuotePlaceholder = gbk("#引号");

TEST(TextHelpersTest, TextBetweenCutsAfterLeftAndBeforeTheNextRight) {
    EXPECT_EQ(textBetween("<b>x</b><b>y</b>", "<b>", "</b>"), "x");
    EXPECT_EQ(textBetween("a[]b", "[", "]"), "");
    EXPECT_EQ(textBetween("abc", "", "c"), "ab");  // empty left marker: from the start
    EXPECT_EQ(textBetween("abc", "a", ""), "");    // empty right marker: always empty
    EXPECT_EQ(textBetween("", "", ""), "");
}

TEST(TextHelpersTest, TextBetweenIsEmptyWhenAMarkerIsMissing) {
    EXPECT_EQ(textBetween("xyz]", "[", "]"), "");       // left absent, right present
    EXPECT_EQ(textBetween("] then [x", "[", "]"), "");  // right only before left
    EXPECT_EQ(textBetween("[x", "[", "]"), "");
    EXPECT_EQ(textBetween("ab[", "[", "]"), "");            // left marker at the very end
    EXPECT_EQ(textBetween("<A>x</a>", "<a>", "</a>"), "");  // markers are matched with case
}

TEST(TextHelpersTest, TextBetweenStepsOverTwoByteCharacters) {
    // 0x81 0x5B holds the code of "[" as its second byte; the real "[" comes after it.
    EXPECT_EQ(textBetween("\x81[a[b]", "[", "]"), "b");
    EXPECT_EQ(textBetween(gbk("标题：新闻。"), gbk("："), gbk("。")), gbk("新闻"));
}

TEST(TextHelpersTest, QuotePlaceholderInAMarkerStandsForADoubleQuote) {
    const Text page = "<a href=\"/t/1\">one</a>";
    EXPECT_EQ(textBetween(page, "href=" + kQuotePlaceholder, kQuotePlaceholder + ">"), "/t/1");
    EXPECT_EQ(textBetween(page, "href=\"", "\">"), "/t/1");
    // Only the markers are rewritten, never the text.
    EXPECT_EQ(textBetween("x" + kQuotePlaceholder + "y", "x", "y"), kQuotePlaceholder);
}

TEST(TextHelpersTest, AllTextsBetweenCollectsTrimmedPieces) {
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

TEST(TextHelpersTest, AllTextsBetweenIgnoresAsciiCaseAndEmptyMarkers) {
    TextList list;
    EXPECT_EQ(allTextsBetween("<B>x</b><b>y</B>", "<b>", "</b>", list), 2);
    EXPECT_EQ(list, (TextList{"x", "y"}));
    // Markers that are found everywhere would never move the scan on.
    EXPECT_EQ(allTextsBetween("abc", "", "]", list), 0);
    EXPECT_EQ(allTextsBetween("a[b]", "[", "", list), 0);
    EXPECT_TRUE(list.empty());
}

TEST(TextHelpersTest, EscapeSqlText) {
    EXPECT_EQ(escapeSqlText("it's (new); ok\r\nnext"),
              "it''s \xA3\xA8new\xA3\xA9\xA3\xBB ok"
              "next");
    EXPECT_EQ(escapeSqlText(""), "");
    EXPECT_EQ(escapeSqlText("\r\r\n\n"), "\r\n");  // only CR LF pairs go
}

TEST(TextHelpersTest, EscapeSqlTextNeverAltersATwoByteCharacter) {
    // Every double-byte code passes unchanged, on its own and next to the escaped characters.
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const Text ch{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(escapeSqlText(ch), ch);
            ASSERT_EQ(escapeSqlText("'" + ch + ";"), "''" + ch + "\xA3\xBB");
        }
    }
}

struct MergeCase {
    Text old;
    Text fresh;
    Text merged;
};

TEST(TextHelpersTest, MergeCookies) {
    const MergeCase cases[] = {
        {"a=1; b=2", "b=3", "b=3; a=1"},
        {"a=1; b=2", "a=deleted", "b=2"},
        {"a=1;a=2", "", "a=1"},
        {"", "", ""},
        {"", "a=1;a=1", "a=1"},
        // Old cookies the response does not mention follow in their old order.
        {"x=1; y=2; z=3", "y=9", "y=9; x=1; z=3"},
        // Spaces, ASCII and full-width, are removed everywhere.
        {" a = 1 ;" + gbk("　") + "b=2", "c=3", "c=3; a=1; b=2"},
        // A bare word is its own name; names compare with case.
        {"flag; A=1", "a=2", "a=2; flag; A=1"},
        // Deleted old cookies vanish too.
        {"a=deleted; b=1", "", "b=1"},
    };
    for (const auto& c : cases) {
        Text old = c.old;
        EXPECT_EQ(mergeCookies(old, c.fresh), c.merged) << c.old << " + " << c.fresh;
        EXPECT_EQ(old, c.merged);
    }
}

TEST(TextHelpersTest, MergeCookiesWithTheSameTextOnBothSides) {
    Text jar = "a=1; b=2";
    EXPECT_EQ(mergeCookies(jar, jar), "a=1; b=2");
    EXPECT_EQ(jar, "a=1; b=2");
}

TEST(TextHelpersTest, CookieNames) {
    EXPECT_EQ(cookieName(" sid = abc=def"), "sid");
    EXPECT_EQ(cookieName(" secure "), "secure");
    EXPECT_EQ(cookieName("=v"), "");
    EXPECT_TRUE(hasCookieName({"a=1", "b=2"}, "b"));
    EXPECT_FALSE(hasCookieName({"a=1", "b=2"}, "B"));
    EXPECT_FALSE(hasCookieName({}, ""));
}

TEST(TextHelpersTest, UniqueJoin) {
    EXPECT_EQ(uniqueJoin("x; y; x", "; "), "x; y");
    EXPECT_EQ(uniqueJoin("", "; "), "");
    EXPECT_EQ(uniqueJoin("x; x; ", "; "), "x");
    EXPECT_EQ(uniqueJoin("a;; b", "; "), "a;; b");
    EXPECT_EQ(uniqueJoin("a; ; ; b", "; "), "a; ; b");  // the empty piece is kept once
}

}  // namespace
}  // namespace lumo
