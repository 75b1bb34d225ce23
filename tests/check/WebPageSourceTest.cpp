#include "check/WebPageSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "curl/CurlPageFetcher.h"
#include "support/LocalHttpServer.h"

namespace lumo {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;

// About 400 KB of a board page's kind of UTF-8, with characters of every length and a few
// malformed sequences, so the body arrives in many pieces that cut characters apart.
std::string largeUtf8Page() {
    const std::string row =
        "<tr><td><a href=\"thread-1-1-1.html\">\xE4\xB8\xAD\xE6\x96\x87\xE6\xA0\x87\xE9\xA2\x98"
        "\xE4\xB8\xAD\xE6\x96\x87\xE6\xA0\x87\xE9\xA2\x98</a> caf\xC3\xA9 \xF0\x9F\x98\x80 "
        "\xE2\x82\xAC \xE4\xB8 \x80</td></tr>\r\n";
    std::string page;
    for (int k = 0; page.size() < 400 * 1024; ++k) page += row + std::to_string(k);
    return page;
}

TEST(WebPageSourceTest, PageTextIsTheConversionOfTheWholeBody) {
    LocalHttpServer server;
    const std::string page = largeUtf8Page();
    server.page("/board", page, "text/html; charset=utf-8");
    const CurlPageFetcher fetcher;
    WebPageSource pages(fetcher);
    const Text url = server.url("/board");
    const Text text = pages.fetchPageText(url, "", "User-Agent: test", true);
    EXPECT_EQ(text.size(), utf8ToGbk(page).size());
    EXPECT_TRUE(text == utf8ToGbk(page));  // not printed: 400 KB
    EXPECT_TRUE(pages.fetchPageText(url, "", "User-Agent: test", false) == textOfBytes(page));
}

TEST(WebPageSourceTest, FailedFetchGivesNoTextWhateverArrived) {
    LocalHttpServer server;
    server.page("/board", largeUtf8Page(), "text/html; charset=utf-8");
    FetchOptions options;
    options.maxBodyBytes = 100 * 1024;  // the body is cut off after several pieces
    const CurlPageFetcher fetcher(options);
    WebPageSource pages(fetcher);
    EXPECT_EQ(pages.fetchPageText(server.url("/board"), "", "User-Agent: test", true), "");
    // A response that is no success still has its body, as a fetched page does.
    EXPECT_EQ(pages.fetchPageText(server.url("/missing"), "", "", true), "not found");
}

}  // namespace
}  // namespace lumo
