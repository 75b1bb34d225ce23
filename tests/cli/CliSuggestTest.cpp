#include <functional>
#include <set>

#include "cli/CliTestBase.h"
#include "testkit/ListPages.h"

namespace lumo::test {
namespace {

class CliSuggestTest : public CliTestBase {
protected:
    // Serves `page` on this test's server; its address.
    std::string serve(const ListPage& page) {
        server.page(page.path.substr(0, page.path.find('?')), page.body, page.contentType);
        return server.url(page.path);
    }

    int planCount() { return std::stoi(db.query("select count(*) from rule").rows[0][0]); }

    static int savedId(const std::string& out) {
        const std::size_t at = out.find("saved as plan ");
        return at == std::string::npos ? 0 : std::atoi(out.c_str() + at + 14);
    }
};

// Suggest, save, run a round: the new plan is stored unticked, and its first round stores the
// page's articles with their titles and addresses.
TEST_F(CliSuggestTest, SuggestedPlanSavedAndRunStoresThePagesArticles) {
    const std::string site = server.url("");
    const std::vector<std::function<ListPage()>> pages = {
        [&] { return ListPages::discuz(site, 30, true); },
        [&] { return ListPages::nodeClub(site, 20); },
        [&] { return ListPages::phpbb(site, 20); },
        [&] { return ListPages::newsList(site, 25); },
        [&] { return ListPages::blog(site, 8); },
    };
    std::size_t storedBefore = 0;
    for (const auto& make : pages) {
        const ListPage page = make();
        const std::string url = serve(page);
        SCOPED_TRACE(url);
        const ChildProcess::Result suggested = cli({"suggest", url, "--save"});
        ASSERT_EQ(suggested.exitCode, 0) << suggested.err;
        const int id = savedId(suggested.out);
        ASSERT_GT(id, 0) << suggested.out;
        const MonitorPlan plan = db.plan(id);
        EXPECT_EQ(plan[MonitorPlan::isdo], "0");
        EXPECT_EQ(plan[MonitorPlan::url], url);
        EXPECT_NE(suggested.out.find("suggestion 1 of"), std::string::npos);
        EXPECT_NE(suggested.out.find(utf8(page.articles[0].title)), std::string::npos);

        const ChildProcess::Result run = cli({"run", "--plans", std::to_string(id), "--quiet"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::set<std::pair<Text, Text>> expected;
        for (const auto& article : page.articles) expected.insert({article.title, article.address});
        const std::vector<ArticleRecord> stored = db.articles();
        std::size_t right = 0;
        for (std::size_t i = storedBefore; i < stored.size(); ++i) {
            right +=
                expected.count({stored[i][ArticleRecord::title], stored[i][ArticleRecord::url]});
        }
        EXPECT_EQ(stored.size() - storedBefore, page.articles.size());
        EXPECT_GE(right * 100, page.articles.size() * 95);
        storedBefore = stored.size();
    }
}

// --json lists the candidates best first with their fields; --save NAME names the plan.
TEST_F(CliSuggestTest, JsonListsTheCandidatesAndSaveTakesAName) {
    const ListPage page = ListPages::discuz(server.url(""), 20, false);
    const std::string url = serve(page);
    const ChildProcess::Result result = cli({"suggest", url, "--json", "--save", "灌水区"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json document = nlohmann::json::parse(result.out);
    const nlohmann::json& best = document["suggestions"][0];
    EXPECT_EQ(best["matchCount"], 23);
    EXPECT_EQ(best["gbk"], false);
    EXPECT_EQ(best["mode"], 8);
    EXPECT_EQ(best["titles"][0], utf8(page.articles[0].title));
    EXPECT_EQ(best["addresses"][0], page.articles[0].address);
    EXPECT_GT(document["suggestions"].size(), 1u);
    const int id = document["saved"];
    EXPECT_EQ(utf8(db.plan(id)[MonitorPlan::name]), "灌水区");
    EXPECT_EQ(db.plan(id)[MonitorPlan::regular], Text(best["regular"]));
}

// A page reached through a redirect: its relative links lead from where it came from, and the
// plan keeps the address it was given.
TEST_F(CliSuggestTest, RedirectedPagesLinksResolveWhereThePageCameFrom) {
    const ListPage page = ListPages::discuz(server.url(""), 20, true);
    serve(page);
    server.redirect("/latest", page.path);
    const ChildProcess::Result result = cli({"suggest", server.url("/latest"), "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json best = nlohmann::json::parse(result.out)["suggestions"][0];
    EXPECT_EQ(best["addresses"][0], page.articles[0].address);
    EXPECT_EQ(best["url"], server.url("/latest"));
}

// A page without a list, a binary or empty body, an error status, an unreachable address and
// the blocked site each get a clear message, exit 1, and leave the database as it was; a save into
// a missing database fetches nothing.
TEST_F(CliSuggestTest, BadPagesAndAddressesChangeNothing) {
    server.page("/about", ListPages::noList("").body);
    server.page("/logo.png", Bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + Bytes(300, '\x01'),
                "image/png");
    server.page("/empty", "");
    server.route("/gone", [](const ReceivedRequest&) {
        ServedResponse response;
        response.status = 404;
        response.reason = "Not Found";
        response.body = ListPages::discuz("", 20, true).body;
        return response;
    });
    struct Case {
        std::string url;
        std::string message;
    };
    const std::vector<Case> cases = {
        {server.url("/about"), "no list of article links"},
        {server.url("/logo.png"), "not a web page"},
        {server.url("/empty"), "the page is empty"},
        {server.url("/gone"), "status 404"},
        {"http://127.0.0.1:1/board", "cannot fetch"},
        {server.url("/lumosoft/board"), "此站不允许监控!"},
    };
    const int before = planCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const ChildProcess::Result result = cli({"suggest", c.url, "--save"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(planCount(), before);

    const std::size_t requests = server.requestCount();
    const ChildProcess::Result missing = ChildProcess::run(
        binary(),
        {"--db", db.directory() + "/none.sdb", "suggest", server.url("/about"), "--save"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(server.requestCount(), requests);
}

}  // namespace
}  // namespace lumo::test
