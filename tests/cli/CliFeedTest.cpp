// `lumo-cli feed`: the real binary's Atom output, read back by Debian's feedparser and checked
// against RFC 4287's schema by Debian's jing.
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "cli/CliTestBase.h"
#include "store/PlanHealth.h"
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

    // jing's verdict on the file against RFC 4287's RELAX NG schema: empty when valid, else its
    // complaints. Nothing when Debian's jing is not installed.
    static std::optional<std::string> jingComplaints(const std::string& path) {
        if (!std::filesystem::exists("/usr/bin/jing")) return std::nullopt;
        const auto result = ChildProcess::run(
            "/usr/bin/jing",
            {"-c", std::string(LUMO_SOURCE_DIR) + "/tests/feed/schema/atom.rnc", path});
        return result.exitCode == 0 ? std::string() : result.out + result.err;
    }

    // Every entry id of a feed, in document order.
    static std::vector<std::string> entryIds(const std::string& xml) {
        static const std::regex kId("<entry>\\s*<id>([^<]*)</id>");
        std::vector<std::string> ids;
        for (auto it = std::sregex_iterator(xml.begin(), xml.end(), kId);
             it != std::sregex_iterator(); ++it) {
            ids.push_back((*it)[1]);
        }
        return ids;
    }

    // The text between <tag> and </tag> of the entry with `title`, or of its link's href.
    static std::string entryPart(const std::string& xml, const std::string& title,
                                 const std::string& part) {
        const std::size_t at = xml.find("<title>" + title + "</title>");
        const std::size_t end = xml.find("</entry>", at);
        if (at == std::string::npos) return "(no entry " + title + ")";
        const std::string entry = xml.substr(at, end - at);
        const std::string open = part == "href" ? "href=\"" : "<" + part + " type=\"text\">";
        const std::size_t from = entry.find(open);
        if (from == std::string::npos) return "";
        const std::size_t start = from + open.size();
        return entry.substr(start, entry.find(part == "href" ? "\"" : "<", start) - start);
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

TEST_F(CliFeedTest, RelativeEmptyAndHugeIdArticlesGiveAValidAtomFeed) {
    MonitorPlan plan = BoardPage::plan(server.url("/forum/board.php?page=2"), true);
    const int planId = db.addPlan(plan);
    addArticleOf(planId, "relative", "thread-9.html?x=1");
    addArticleOf(planId, "rooted", "/t/10");
    addArticleOf(planId, "empty", "");
    addArticleOf(planId, "script", "javascript:alert(1)");
    addArticleOf(planId + 7, "planless", "thread-11.html");  // no such plan: no page to resolve by
    for (const char* id : {"3000000000", "3000000001"}) {
        ASSERT_TRUE(db.database().execute(
            std::string(
                "insert into info(id,planname,planid,title,url,addtime,issoucang) values(") +
            id + ",'p'," + std::to_string(planId) + ",'big" + id + "','http://b.example/" + id +
            "','2026-12-9 8:05:00',0)"));
    }
    // A plan broken now has its entry too, with a hostile reason.
    ASSERT_TRUE(db.database().execute(PlanHealth::createTableStatement()));
    ASSERT_TRUE(db.database().execute(
        "insert into planhealth values(" + std::to_string(planId) +
        ",'2026-12-9 9:00:00','failed','<b>&\x1b[2J','3','2026-12-9 8:00:00','','')"));
    const std::string target = writeFile("feed.xml", "");
    const auto result = cli({"feed", "-o", target});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string xml = fileBytes(target);

    const std::string page = server.url("/forum/");
    EXPECT_EQ(entryPart(xml, "relative", "href"), page + "thread-9.html?x=1");
    EXPECT_EQ(entryPart(xml, "rooted", "href"), server.url("/t/10"));
    // Without a usable address an entry carries its address, or its title, as content.
    EXPECT_EQ(entryPart(xml, "empty", "content"), "empty");
    EXPECT_EQ(entryPart(xml, "script", "content"), "javascript:alert(1)");
    EXPECT_EQ(entryPart(xml, "planless", "content"), "thread-11.html");
    for (const char* title : {"relative", "rooted", "big3000000000"}) {
        EXPECT_EQ(entryPart(xml, title, "content"), "") << title;
    }
    // RFC 4287's rule that RELAX NG leaves to Schematron: a link or a content in every entry.
    for (std::size_t at = xml.find("<entry>"); at != std::string::npos;
         at = xml.find("<entry>", at + 1)) {
        const std::string entry = xml.substr(at, xml.find("</entry>", at) - at);
        EXPECT_TRUE(entry.find("rel=\"alternate\"") != std::string::npos ||
                    entry.find("<content") != std::string::npos)
            << entry;
    }
    const std::vector<std::string> ids = entryIds(xml);
    ASSERT_EQ(ids.size(), 8u) << xml;
    EXPECT_NE(ids[0].find(":plan/" + std::to_string(planId) + "/broken/"), std::string::npos)
        << ids[0];
    EXPECT_EQ(ids[1].find("/article/3000000001/"), ids[1].find("/article/")) << ids[1];
    EXPECT_EQ(ids[2].find("/article/3000000000/"), ids[2].find("/article/")) << ids[2];

    const std::optional<std::string> complaints = jingComplaints(target);
    if (!complaints) GTEST_SKIP() << "Debian's jing is not installed (scripts/packages.d/feed.sh)";
    EXPECT_EQ(*complaints, "") << xml;
}

TEST_F(CliFeedTest, EntryIdsAreNeverReusedAndFeedIdsBelongToOneDatabase) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    const int planId = db.addPlan(plan);
    addArticleOf(planId, "kept", "http://b.example/1");
    const int gone = addArticleOf(planId, "deleted", "http://b.example/2");
    const auto before = cli({"feed"});
    // The console deletes the newest article; SQLite hands its id to the next one.
    ASSERT_TRUE(db.database().execute("delete from info where id=" + std::to_string(gone)));
    ASSERT_EQ(addArticleOf(planId, "another", "http://b.example/3"), gone);
    const auto after = cli({"feed"});
    const std::vector<std::string> oldIds = entryIds(before.out);
    const std::vector<std::string> newIds = entryIds(after.out);
    ASSERT_EQ(oldIds.size(), 2u);
    ASSERT_EQ(newIds.size(), 2u);
    EXPECT_NE(newIds[0], oldIds[0]);  // the same row id, another article
    EXPECT_EQ(newIds[1], oldIds[1]);  // the same article keeps its id

    const auto feedId = [](const std::string& xml) {
        return xml.substr(xml.find("<id>"), xml.find("</id>") - xml.find("<id>"));
    };
    EXPECT_EQ(feedId(after.out), feedId(before.out));
    TempDatabase other;
    const auto elsewhere = ChildProcess::run(binary(), {"--db", other.path(), "feed"});
    ASSERT_EQ(elsewhere.exitCode, 0) << elsewhere.err;
    EXPECT_NE(feedId(elsewhere.out), feedId(before.out));
}

TEST_F(CliFeedTest, OutputGoesThroughALinkToItsTargetAndNeverIntoAPipe) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(db.directory()) / "published";
    fs::create_directories(folder);
    const std::string target = (folder / "feed.xml").string();
    writeFile("published/feed.xml", "old feed");
    const std::string link = db.directory() + "/feed-link.xml";
    fs::create_symlink("published/feed.xml", link);
    const auto linked = cli({"feed", "-o", link});
    ASSERT_EQ(linked.exitCode, 0) << linked.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(fileBytes(target).find("<feed"), std::string::npos);

    const std::string pipe = db.directory() + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string null = db.directory() + "/null-link";
    fs::create_symlink("/dev/null", null);
    for (const std::string& path : {pipe, null}) {
        const auto refused = cli({"feed", "-o", path});
        EXPECT_EQ(refused.exitCode, 1) << path;
        EXPECT_NE(refused.err.find("is not a regular file"), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_symlink(null));
}

}  // namespace
}  // namespace lumo::test
