#include "monitor/SqlValues.h"

#include <gtest/gtest.h>

#include "app/GbkCodec.h"

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

}  // namespace
}  // namespace lumo
