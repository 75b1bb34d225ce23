#include "articles/WebLink.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"

namespace lumo {
namespace {

TEST(WebLinkTest, WebAddressesPassTrimmed) {
    const struct {
        Text link;
        Text opened;
    } cases[] = {
        {"http://board.example/thread-1.html", "http://board.example/thread-1.html"},
        {"HTTPS://Board.Example/A?b=c#d", "HTTPS://Board.Example/A?b=c#d"},
        {"hTtP://x", "hTtP://x"},
        {"  http://x/y  ", "http://x/y"},
        {"\t\r\nhttp://x/y\r\n", "http://x/y"},
        {gbk("　http://x/y　"), "http://x/y"},
        // GBK bytes and inner blanks stay for the opener to encode.
        {gbk("http://x/论坛/帖 子?q=你好"), gbk("http://x/论坛/帖 子?q=你好")},
        // The last two bytes "A1 A1" here are the trail of "啊" and a lone lead byte, not a
        // full-width space: nothing is cut.
        {"http://x/\xB0\xA1\xA1", "http://x/\xB0\xA1\xA1"},
        {"http://x/\xB0\xA1\xA1\xA1", "http://x/\xB0\xA1"},
    };
    for (const auto& c : cases) {
        const auto opened = webLinkToOpen(c.link);
        ASSERT_TRUE(opened.has_value()) << c.link;
        EXPECT_EQ(*opened, c.opened);
    }
}

TEST(WebLinkTest, AnythingElseIsRefused) {
    const Text refused[] = {
        "",
        "   ",
        gbk("　"),
        "file:///etc/passwd",
        "/usr/bin/xterm",
        "C:\\Windows\\system32\\calc.exe",
        "calc.exe",
        "javascript:alert(1)",
        "mailto:someone@example.com",
        "ftp://files.example/",
        "smb://server/share",
        "http:/x",
        "http:x",
        "http://",
        "https://   ",
        "http:///etc/passwd",
        "http://?q",
        "http://#x",
        "http:\\\\x\\y",
        "xhttp://x",
        "thread-1.html",
        gbk("ｈｔｔｐ://x"),
        "http://x/\ny",
        "http://x/\ty",
        "http://x/\x7Fy",
        std::string("http://x/\0y", 11),
        "http://x/\x81\x0A",
    };
    for (const Text& link : refused) EXPECT_FALSE(webLinkToOpen(link).has_value()) << link;
}

}  // namespace
}  // namespace lumo
