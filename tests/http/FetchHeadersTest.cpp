#include "http/FetchHeaders.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(FetchHeadersTest, UserAgent) {
    EXPECT_EQ(userAgentOf(""), kDefaultUserAgent);
    EXPECT_EQ(userAgentOf("Accept: text/html"), kDefaultUserAgent);
    EXPECT_EQ(userAgentOf("User-Agent:  Opera/9.80  "), "Opera/9.80");
    EXPECT_EQ(userAgentOf("Accept: x\r\nUser-Agent: Y/2\r\nReferer: r"), "Y/2");
    // A plan without an agent sends an empty one, not the default.
    EXPECT_EQ(userAgentOf("User-Agent: "), "");
    // Another spelling: what follows the first colon of the lines, up to that line's end.
    EXPECT_EQ(userAgentOf("user-agent: low/1\r\nAccept: a"), "low/1");
    EXPECT_EQ(userAgentOf("X-A: 1\r\nuser-agent: Z"), "1");
    EXPECT_EQ(userAgentOf("USER-AGENT:\r\nAccept: a"), "");
}

TEST(FetchHeadersTest, ComposedBlock) {
    const Text url = "http://a.com/x";
    EXPECT_EQ(composeHeaderBlock("", url, ""),
              "Accept: */*\r\nReferer: http://a.com/x\r\nAccept-Language: zh-cn\r\n"
              "Content-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(composeHeaderBlock("User-Agent: U", url, "a=1"),
              "User-Agent: U\r\nAccept: */*\r\nReferer: http://a.com/x\r\n"
              "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              "Cookie: a=1");
    // The checks are case-sensitive: a lower-case line gets a second one beside it.
    EXPECT_EQ(composeHeaderBlock("accept: a\r\nReferer: r\r\nAccept-Language: en\r\n"
                                 "Content-Type: t",
                                 url, "Cookie: c=1"),
              "accept: a\r\nReferer: r\r\nAccept-Language: en\r\nContent-Type: t\r\n"
              "Accept: */*\r\nCookie: c=1");
}

TEST(FetchHeadersTest, ResponseCookies) {
    EXPECT_EQ(withSetCookieSpelled("HTTP/1.1 200 OK\r\nset-COOKIE: a=1\r\nX: set-cookie\r\n\r\n"),
              "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nX: Set-Cookie\r\n\r\n");
    EXPECT_EQ(cookiesOfResponse(""), "");
    EXPECT_EQ(cookiesOfResponse("HTTP/1.1 200 OK\r\nContent-Type: t\r\n\r\n"), "");
    EXPECT_EQ(cookiesOfResponse("HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\n"
                                "Set-Cookie: word\r\nSet-Cookie: b = 2 ;Secure\r\n\r\n"),
              "a=1; word; b = 2");
    // Two pairs on one line: only the first counts.
    EXPECT_EQ(cookiesOfResponse("Set-Cookie: a=1; b=2\r\n"), "a=1");
}

}  // namespace
}  // namespace lumo
