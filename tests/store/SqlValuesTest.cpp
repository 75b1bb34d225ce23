#include "store/SqlValues.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

TEST(SqlValuesTest, QuoteDoublingIsBytewiseAndStopsAtNul) {
    EXPECT_EQ(sqlQuoteDoubled("it's"), "it''s");
    EXPECT_EQ(sqlQuoteDoubled("\x81'x"), "\x81''x");  // a stray lead byte hides no quote
    EXPECT_EQ(sqlQuoteDoubled(Text("a'\0');", 5)), "a''");
}

TEST(SqlValuesTest, EscapedTextNeverLeavesALoneQuote) {
    EXPECT_EQ(sqlEscapedText("a'b;(c)\r\nd"), "a''b" + gbk("；（c）") + "d");
    // escapeSqlText steps over "\x81'" as one character; the quote still comes out doubled.
    EXPECT_EQ(sqlEscapedText("\x81'); delete from info; --"),
              "\x81''" + gbk("）；") + " delete from info" + gbk("；") + " --");
    EXPECT_EQ(sqlEscapedText("\x81'''"), "\x81''''''");
}

TEST(SqlValuesTest, UnquotedValuesAreAlwaysNumbers) {
    EXPECT_EQ(sqlInteger("12"), "12");
    EXPECT_EQ(sqlInteger("1 or 1=1"), "1");
    EXPECT_EQ(sqlInteger("x"), "0");
}

TEST(SqlValuesTest, EscapeSqlText) {
    EXPECT_EQ(escapeSqlText("it's (new); ok\r\nnext"),
              "it''s \xA3\xA8new\xA3\xA9\xA3\xBB ok"
              "next");
    EXPECT_EQ(escapeSqlText(""), "");
    EXPECT_EQ(escapeSqlText("\r\r\n\n"), "\r\n");  // only CR LF pairs go
}

TEST(SqlValuesTest, EscapeSqlTextNeverAltersATwoByteCharacter) {
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

}  // namespace
}  // namespace lumo
