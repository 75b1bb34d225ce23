#include "feed/AtomFeed.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "base/AtomicFile.h"
#include "base/GbkCodec.h"
#include "support/ArticleRows.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

// Runs the test under a fixed local time zone (POSIX rule, no zone files needed).
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

ArticleRecord article(const char* id, const char* planId, const Text& title, const Text& url,
                      const Text& time = "2026-3-7 9:05:00") {
    ArticleRecord record;
    record[ArticleRecord::id] = id;
    record[ArticleRecord::planid] = planId;
    record[ArticleRecord::planname] = gbk("水木社区");
    record[ArticleRecord::title] = title;
    record[ArticleRecord::url] = url;
    record[ArticleRecord::addtime] = time;
    record[ArticleRecord::issoucang] = "0";
    return record;
}

// True when libxml2's own parser reads `xml` as well-formed, without a single error.
bool wellFormed(const std::string& xml) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "feed.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool ok = doc != nullptr && xmlGetLastError() == nullptr;
    xmlFreeDoc(doc);
    xmlResetLastError();
    return ok;
}

// What Debian's feedparser makes of the document, as JSON; nullopt when it is not installed.
std::optional<nlohmann::json> feedparserView(const std::string& xml) {
    char path[] = "/tmp/lumo-feed-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return std::nullopt;
    close(fd);
    std::ofstream(path, std::ios::binary) << xml;
    const std::string command =
        "/usr/bin/python3 -c 'import json,sys\ntry:\n import feedparser\nexcept ImportError:\n "
        "sys.exit(77)\nd=feedparser.parse(sys.argv[1])\nprint(json.dumps({\"bozo\":d.bozo,"
        "\"id\":d.feed.get(\"id\"),\"title\":d.feed.get(\"title\"),\"entries\":[{\"id\":e.get("
        "\"id\"),\"title\":e.get(\"title\"),\"links\":[l.get(\"href\") for l in e.get("
        "\"links\",[])],\"updated\":e.get(\"updated\")} for e in d.entries]}))' " +
        std::string(path);
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    unlink(path);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return nlohmann::json::parse(output);
}

TEST(AtomFeedTest, HostileTitlesAndLinksStayValidForXmlAndFeedParsers) {
    ZoneGuard zone("CST-8");
    const std::vector<ArticleRecord> articles = {
        article("5", "3", gbk("<b>标题</b> & \"引号\" 'x' ]]>"), "https://b.example/t?a=1&b=<2>"),
        article("4", "3", "ctl\x01\x08\x1B\x7F end", "javascript:alert(1)"),
        article("3", "3", "broken \x81\x20 lead \xFF\xFF tail \xC4", "http://b.example/a b"),
        article("2", "7", "", "file:///etc/passwd", "not a time"),
    };
    AtomFeed::Options options;
    options.selfLink = "http://127.0.0.1/feed.xml";
    const std::string xml = AtomFeed::write(articles, options, 0);
    ASSERT_TRUE(wellFormed(xml)) << xml;
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);

    const std::optional<nlohmann::json> view = feedparserView(xml);
    if (!view) GTEST_SKIP() << "Debian's python3-feedparser is not installed";
    const nlohmann::json& feed = *view;
    EXPECT_EQ(feed["bozo"], false) << xml;
    EXPECT_EQ(feed["id"], "tag:lumo,2026:articles");
    ASSERT_EQ(feed["entries"].size(), 4u);
    const nlohmann::json& first = feed["entries"][0];
    EXPECT_EQ(first["id"].get<std::string>().rfind("tag:lumo,2026:plan/3/article/5/", 0), 0u);
    EXPECT_EQ(first["title"], "<b>标题</b> & \"引号\" 'x' ]]>");
    EXPECT_EQ(first["links"], nlohmann::json::array({"https://b.example/t?a=1&b=%3C2%3E"}));
    EXPECT_EQ(first["updated"], "2026-03-07T09:05:00+08:00");
    // Control bytes become U+FFFD; links other than http and https are left out.
    EXPECT_EQ(feed["entries"][1]["title"], "ctl\uFFFD\uFFFD\uFFFD\x7F end");
    EXPECT_TRUE(feed["entries"][1]["links"].empty());
    EXPECT_EQ(feed["entries"][2]["links"], nlohmann::json::array({"http://b.example/a%20b"}));
    EXPECT_EQ(feed["entries"][2]["title"], gbkToUtf8("broken \x81\x20 lead \xFF\xFF tail \xC4"));
    EXPECT_TRUE(feed["entries"][3]["links"].empty());
    // An unreadable time takes the feed's: the newest entry's.
    EXPECT_EQ(feed["entries"][3]["updated"], "2026-03-07T09:05:00+08:00");
}

TEST(AtomFeedTest, StoredTimesBecomeRfc3339WithTheLocalOffset) {
    {
        ZoneGuard zone("NST+3:30");
        EXPECT_EQ(AtomFeed::rfc3339(Text("2026-12-31 23:59:59")), "2026-12-31T23:59:59-03:30");
        EXPECT_EQ(AtomFeed::rfc3339(Text("2026-1-2 3:04:05")), "2026-01-02T03:04:05-03:30");
    }
    ZoneGuard zone("UTC0");
    EXPECT_EQ(AtomFeed::rfc3339(std::time_t{0}), "1970-01-01T00:00:00+00:00");
    for (const char* bad : {"", "2026-2-30 1:00:00", "2026-13-1 1:00:00", "2026-1-1 24:00:00",
                            "2026-1-1 1:00", "2026-1-1 1:00:00 x", "abc"}) {
        EXPECT_FALSE(AtomFeed::rfc3339(Text(bad))) << bad;
    }
}

TEST(AtomFeedTest, ReadsTheLatestArticlesOfOnePlanWithALimit) {
    test::TempDatabase temp;
    for (int n = 1; n <= 6; ++n) {
        ArticleRecord record = article("", n % 2 == 0 ? "2" : "1", gbk("标题") + std::to_string(n),
                                       "http://b.example/" + std::to_string(n));
        ASSERT_EQ(test::addArticle(temp.database(), record), n);
    }
    AtomFeed::Options options;
    options.planId = 2;
    options.limit = 2;
    EXPECT_EQ(AtomFeed::query(options),
              "select * from info where planid=2 order by id desc LIMIT 2");
    QueryResult failure;
    const std::string xml = AtomFeed::fromDatabase(temp.database(), options, 0, failure).value();
    ASSERT_TRUE(wellFormed(xml));
    EXPECT_NE(xml.find("<id>tag:lumo,2026:plan/2</id>"), std::string::npos);
    EXPECT_NE(xml.find("<title>Lumo - 水木社区</title>"), std::string::npos) << xml;
    const std::size_t six = xml.find("tag:lumo,2026:plan/2/article/6/");
    const std::size_t four = xml.find("tag:lumo,2026:plan/2/article/4/");
    EXPECT_TRUE(six != std::string::npos && four != std::string::npos && six < four);
    EXPECT_EQ(xml.find("article/2/"), std::string::npos);
    EXPECT_EQ(xml.find("plan/1/"), std::string::npos);

    options = {};
    options.limit = 0;  // brought up to 1
    EXPECT_EQ(AtomFeed::query(options), "select * from info where 1 order by id desc LIMIT 1");
}

TEST(AtomFeedTest, RelativeAddressesAreResolvedAgainstThePlansPageAsABrowserWould) {
    AtomFeed::Options options;
    options.planPages[3] = "http://b.example/forum/list.php?page=2#top";
    options.planPages[4] = "ftp://b.example/forum/";
    const std::vector<std::pair<Text, std::string>> cases = {
        {"thread-9.html", "http://b.example/forum/thread-9.html"},
        {"../up/x", "http://b.example/up/x"},
        {"/t/1", "http://b.example/t/1"},
        {"//other.example/y", "http://other.example/y"},
        {"?page=3", "http://b.example/forum/list.php?page=3"},
        {"a b.html", "http://b.example/forum/a%20b.html"},
        {gbk("帖子.html"), "http://b.example/forum/%E5%B8%96%E5%AD%90.html"},
    };
    for (const auto& [address, expected] : cases) {
        const std::string xml = AtomFeed::write({article("1", "3", "t", address)}, options, 0);
        EXPECT_NE(xml.find("href=\"" + expected + "\""), std::string::npos) << xml;
        EXPECT_EQ(xml.find("<content"), std::string::npos) << xml;
    }
    // A page that is no web address resolves nothing: the address is the content.
    const std::string xml = AtomFeed::write({article("1", "4", "t", "x.html")}, options, 0);
    EXPECT_EQ(xml.find("<link"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<content type=\"text\">x.html</content>"), std::string::npos) << xml;
}

TEST(AtomFeedTest, AnEmptyFeedIsStillAValidFeed) {
    ZoneGuard zone("UTC0");
    const std::string xml = AtomFeed::write({}, {}, 86400);
    ASSERT_TRUE(wellFormed(xml));
    EXPECT_NE(xml.find("<updated>1970-01-02T00:00:00+00:00</updated>"), std::string::npos);
    const std::optional<nlohmann::json> view = feedparserView(xml);
    if (!view) GTEST_SKIP() << "Debian's python3-feedparser is not installed";
    EXPECT_EQ((*view)["bozo"], false);
    EXPECT_TRUE((*view)["entries"].empty());
}

}  // namespace
}  // namespace lumo
