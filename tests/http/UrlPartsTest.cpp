#include "http/UrlParts.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

struct Pieces {
    Text url;
    Text host;
    Text hostWithPort;
    int port;
    Text path;
};

void expectPieces(const Pieces& p) {
    EXPECT_EQ(urlHost(p.url, false), p.host) << p.url;
    EXPECT_EQ(urlHost(p.url, true), p.hostWithPort) << p.url;
    EXPECT_EQ(urlPort(p.url), p.port) << p.url;
    EXPECT_EQ(urlPath(p.url), p.path) << p.url;
}

TEST(UrlPartsTest, UsualAddresses) {
    for (const Pieces& p : std::vector<Pieces>{
             {"http://bbs.example.com/forum-2-1.html", "bbs.example.com", "bbs.example.com", 80,
              "/forum-2-1.html"},
             // Capitals: secure, port 443, host lower-cased, path in its own case.
             {"HTTPS://WWW.Example.COM/Board/List.asp?ID=5#Top", "www.example.com",
              "www.example.com", 443, "/Board/List.asp?ID=5#Top"},
             // No scheme: plain HTTP, everything before the first "/" is the host.
             {"news.example.org/list/1", "news.example.org", "news.example.org", 80, "/list/1"},
             {"http://example.net:8080/a/b?c=d", "example.net", "example.net:8080", 8080,
              "/a/b?c=d"},
             {"https://example.net:8443", "example.net", "example.net:8443", 8443, "/"},
             {"http://example.net", "example.net", "example.net", 80, "/"},
         })
        expectPieces(p);
    EXPECT_TRUE(isSecureUrl("HtTpS://x/"));
    EXPECT_FALSE(isSecureUrl("http://x/"));
    EXPECT_FALSE(isSecureUrl("https:/x/"));
}

TEST(UrlPartsTest, HostileAddresses) {
    for (const Pieces& p : std::vector<Pieces>{
             {"", "", "", 80, "/"},
             {"http://", "", "", 80, "//"},
             {"https:///path", "", "", 443, "///path"},
             {"http://h:abc/x", "h", "h:abc", 0, "/x"},
             {"http://h:99999/x", "h", "h:99999", 99999, "/x"},
             {"http://h:1:2/x", "h", "h:1:2", 2, "/x"},
             {"http://h?q=1", "h?q=1", "h?q=1", 80, "/"},
             {"http://a b.com/c d", "a b.com", "a b.com", 80, "/c d"},
             // GBK bytes are never lower-cased (0x41 here is a trail byte).
             {"http://\xC4\x41.com/\xD6\xD0", "\xC4\x41.com", "\xC4\x41.com", 80, "/\xD6\xD0"},
         })
        expectPieces(p);
}

TEST(UrlPartsTest, SchemeIsOnlyRecognisedAtTheStart) {
    // "http://" inside the query of an address without a scheme does not name the host.
    expectPieces({"a.com/go?to=http://b.com/x", "a.com", "a.com", 80, "/go?to=http://b.com/x"});
    // Leading spaces before the scheme are tolerated.
    expectPieces({"  http://a.com/x", "a.com", "a.com", 80, "/x"});
    // A host that begins with "https" but has no scheme is plain HTTP on port 80.
    expectPieces({"https.example.com/x", "https.example.com", "https.example.com", 80, "/x"});
    // A host made of letters of the scheme is looked for after the scheme.
    expectPieces({"http://t/x", "t", "t", 80, "/x"});
    expectPieces({"HTTP://TP/Up", "tp", "tp", 80, "/Up"});
}

}  // namespace
}  // namespace lumo
