// `lumo-cli feed`: the real binary's Atom output, read back by Debian's feedparser.
#include <filesystem>

#include "cli/CliTestBase.h"
#include "support/ArticleRows.h"

namespace lumo::test {
namespace {

using nlohmann::json;

class CliFeedTest : public CliTestBase {
protected:
    int addArticleOf(int planId, const Text& title, const Text& url) {
        ArticleRecord article;
        article[ArticleRecord::planname] = gbk("测试论坛");
        article[ArticleRecord::planid] = textOfInteger(planId);
        article[ArticleRecord::title] = title;
        article[ArticleRecord::url] = url;
        article[ArticleRecord::addtime] = "2026-12-9 8:05:00";
        article[ArticleRecord::issoucang] = "0";
        return addArticle(db.database(), article);
    }

    // What feedparser makes of the file: bozo, entry ids and titles. Nothing when Debian's
    // python3-feedparser is not installed.
    static std::optional<json> feedparserView(const std::string& path) {
        const std::string script =
            "import json,sys\n"
            "try:\n import feedparser\nexcept ImportError:\n sys.exit(77)\n"
            "d=feedparser.parse(sys.argv[1])\n"
            "print(json.dumps({'bozo':int(d.bozo),'entries':[{'id':e.get('id'),"
            "'title':e.get('title'),'link':e.get('link')} for e in d.entries]}))\n";
        const auto result = ChildProcess::run("/usr/bin/python3", {"-c", script, path});
        if (result.exitCode != 0) return std::nullopt;
        return json::parse(result.out);
    }

    std::string writeFile(const std::string& name, const std::string& content) {
        const std::string path = db.directory() + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
};

TEST_F(CliFeedTest, HostileStoredTitlesGiveAFeedThatFeedparserReadsWithoutComplaint) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    const int planId = db.addPlan(plan);
    const Text markup = gbk("<b>标题</b> & \"引号\" 'x' ]]> &amp;");
    addArticleOf(planId, markup, "https://b.example/t?a=1&b=<2>");
    addArticleOf(planId, "broken \x81\x20 lead \xFF\xFF tail \xC4", "javascript:alert(1)");
    addArticleOf(planId + 1, "ctl\x01\x1B end", "http://b.example/other");

    const auto result = cli({"feed"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    EXPECT_EQ(result.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    const std::optional<json> view = feedparserView(writeFile("feed.xml", result.out));
    if (!view) GTEST_SKIP() << "Debian's python3-feedparser is not installed";
    EXPECT_EQ((*view)["bozo"], 0) << result.out;
    const json& entries = (*view)["entries"];
    ASSERT_EQ(entries.size(), 3u) << result.out;
    // Newest first.
    EXPECT_EQ(entries[2]["id"].get<std::string>().rfind(
                  "tag:lumo,2026:plan/" + std::to_string(planId) + "/article/1/", 0),
              0u);
    EXPECT_EQ(entries[2]["title"], utf8(markup));
    // feedparser percent-encodes the brackets; the ampersand arrives as one.
    EXPECT_EQ(entries[2]["link"].get<std::string>().rfind("https://b.example/t?a=1&b=", 0), 0u);
    // javascript: is no link (feedparser falls back on the entry id).
    EXPECT_EQ(entries[1]["link"].get<std::string>().find("javascript"), std::string::npos);
    EXPECT_NE(entries[1]["title"].get<std::string>().find("tail"), std::string::npos);
    EXPECT_EQ(entries[0]["title"], "ctl\uFFFD\uFFFD end");
}

TEST_F(CliFeedTest, OnePlansNewestArticlesIntoAFileReplacedWhole) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    const int planId = db.addPlan(plan);
    for (int i = 1; i <= 4; ++i) {
        addArticleOf(planId, gbk("帖") + textOfInteger(i), "http://b.example/" + std::to_string(i));
        addArticleOf(planId + 5, gbk("别的") + textOfInteger(i), "http://b.example/o");
    }
    const std::string target = writeFile("feed.xml", "old feed");
    const auto result = cli({"feed", "--plan", std::to_string(planId), "-n", "2", "-o", target});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
    const std::string written = fileBytes(target);
    EXPECT_NE(written.find("<title>" + utf8(gbk("帖4")) + "</title>"), std::string::npos);
    EXPECT_NE(written.find("<title>" + utf8(gbk("帖3")) + "</title>"), std::string::npos);
    EXPECT_EQ(written.find(utf8(gbk("帖2"))), std::string::npos);
    EXPECT_EQ(written.find(utf8(gbk("别的"))), std::string::npos);
    // Only the database and the feed are left in the folder: no temporary file stays behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(db.directory())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
    if (const std::optional<json> view = feedparserView(target)) {
        EXPECT_EQ((*view)["bozo"], 0) << written;
        EXPECT_EQ((*view)["entries"].size(), 2u);
    }
}

TEST_F(CliFeedTest, BadArgumentsAreRefusedWithExitTwoAndAnUnwritableFileWithExitOne) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    db.addPlan(plan);
    const auto unknown = cli({"feed", "--plan", "99"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("there is no plan with id 99"), std::string::npos) << unknown.err;
    EXPECT_TRUE(unknown.out.empty());
    for (const char* count : {"0", "10001", "many"}) {
        const auto bad = cli({"feed", "-n", count});
        EXPECT_EQ(bad.exitCode, 2) << count;
        EXPECT_NE(bad.err.find("-n"), std::string::npos) << bad.err;
        EXPECT_TRUE(bad.out.empty());
    }
    const auto unwritable = cli({"feed", "-o", db.directory() + "/no/such/folder/feed.xml"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("was not written"), std::string::npos) << unwritable.err;
}

}  // namespace
}  // namespace lumo::test
