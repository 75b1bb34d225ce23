// Merging the cookies a response sets into those a plan sends.
#include "http/Cookies.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

struct MergeCase {
    Text old;
    Text fresh;
    Text merged;
};

TEST(CookiesTest, MergeCookies) {
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

TEST(CookiesTest, MergeCookiesWithTheSameTextOnBothSides) {
    Text jar = "a=1; b=2";
    EXPECT_EQ(mergeCookies(jar, jar), "a=1; b=2");
    EXPECT_EQ(jar, "a=1; b=2");
}

TEST(CookiesTest, CookieNames) {
    EXPECT_EQ(cookieName(" sid = abc=def"), "sid");
    EXPECT_EQ(cookieName(" secure "), "secure");
    EXPECT_EQ(cookieName("=v"), "");
    EXPECT_TRUE(hasCookieName({"a=1", "b=2"}, "b"));
    EXPECT_FALSE(hasCookieName({"a=1", "b=2"}, "B"));
    EXPECT_FALSE(hasCookieName({}, ""));
}

TEST(CookiesTest, UniqueJoin) {
    EXPECT_EQ(uniqueJoin("x; y; x", "; "), "x; y");
    EXPECT_EQ(uniqueJoin("", "; "), "");
    EXPECT_EQ(uniqueJoin("x; x; ", "; "), "x");
    EXPECT_EQ(uniqueJoin("a;; b", "; "), "a;; b");
    EXPECT_EQ(uniqueJoin("a; ; ; b", "; "), "a; ; b");  // the empty piece is kept once
}

}  // namespace
}  // namespace lumo
