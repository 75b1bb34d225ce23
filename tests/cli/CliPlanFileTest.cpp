// `lumo-cli plans export` and `plans import`: plans shared as files, through the real binary.
#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using nlohmann::json;

class CliPlanFileTest : public CliTestBase {
protected:
    // Two plans with texts that need care: GBK names, quotes, a backslash pattern, a cookie.
    void addSharedPlans() {
        MonitorPlan board = BoardPage::plan(server.url("/board"), true);
        board[MonitorPlan::cookie] = "sid=\"a'b\"; lang=zh";
        board[MonitorPlan::lasttime] = "2026-12-9 8:00:00";
        board[MonitorPlan::lastid] = "42";
        db.addPlan(board);
        MonitorPlan other = BoardPage::plan(server.url("/other"), false, "2");
        other[MonitorPlan::name] = gbk("另一个版块 \"引号\" & <尖括号>");
        other[MonitorPlan::spare] = gbk("备用");
        other[MonitorPlan::isdo] = "0";
        db.addPlan(other);
    }

    std::string writeFile(const std::string& name, const std::string& content) {
        const std::string path = db.directory() + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    static ChildProcess::Result cliOn(const TempDatabase& target,
                                      std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--db", target.path()});
        return ChildProcess::run(binary(), arguments);
    }
};

TEST_F(CliPlanFileTest, ExportImportIntoAnEmptyDatabaseExportIsByteIdentical) {
    addSharedPlans();
    const auto exported = cli({"plans", "export"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const json document = json::parse(exported.out);
    ASSERT_EQ(document["plans"].size(), 2u);
    EXPECT_EQ(document["plans"][1]["name"], utf8(gbk("另一个版块 \"引号\" & <尖括号>")));
    EXPECT_FALSE(document["plans"][0].contains("id"));
    EXPECT_FALSE(document["plans"][0].contains("lastid"));
    EXPECT_FALSE(document["plans"][0].contains("isdo"));

    TempDatabase empty;
    const auto imported = cliOn(empty, {"plans", "import", writeFile("plans.json", exported.out)});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "added\t" + utf8(gbk("测试论坛_休闲灌水")) + "\nadded\t" +
                                utf8(gbk("另一个版块 \"引号\" & <尖括号>")) +
                                "\n2 added, 0 replaced, 0 skipped (stored already)\n");
    // Through -o this time; the file holds exactly what standard output held.
    const std::string again = db.directory() + "/again.json";
    const auto reexported = cliOn(empty, {"plans", "export", "-o", again});
    ASSERT_EQ(reexported.exitCode, 0) << reexported.err;
    EXPECT_TRUE(reexported.out.empty());
    EXPECT_EQ(fileBytes(again), exported.out);

    // New plans come in unticked and without the last-seen fields.
    const auto withState = cliOn(empty, {"plans", "export", "1", "--with-state"});
    ASSERT_EQ(withState.exitCode, 0) << withState.err;
    const json stored = json::parse(withState.out)["plans"][0];
    EXPECT_EQ(stored["id"], 1);
    EXPECT_EQ(stored["isdo"], "0");
    EXPECT_EQ(stored["lastid"], "");
    EXPECT_EQ(stored["cookie"], "sid=\"a'b\"; lang=zh");
}

TEST_F(CliPlanFileTest, AStoredPlanIsSkippedUnlessReplacedAndTheListingStaysAsItWas) {
    addSharedPlans();
    const std::string before = cli({"plans", "export", "--with-state"}).out;
    const std::string listing = cli({"plans"}).out;
    const std::string file = writeFile("one.json", cli({"plans", "export", "2"}).out);

    const auto skipped = cli({"plans", "import", file});
    ASSERT_EQ(skipped.exitCode, 0) << skipped.err;
    EXPECT_NE(skipped.out.find("skipped\t" + utf8(gbk("另一个版块"))), std::string::npos);
    EXPECT_NE(skipped.out.find("0 added, 0 replaced, 1 skipped"), std::string::npos);
    EXPECT_EQ(cli({"plans", "export", "--with-state"}).out, before);

    const auto replaced = cli({"plans", "import", file, "--replace"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_NE(replaced.out.find("0 added, 1 replaced, 0 skipped"), std::string::npos);
    // The same definition again: id, tick and last-seen fields kept, nothing else changed.
    EXPECT_EQ(cli({"plans", "export", "--with-state"}).out, before);
    EXPECT_EQ(cli({"plans"}).out, listing);
    EXPECT_EQ(
        listing.rfind(
            "id\tname\tticked\turl\tmode\tlastCheck\tlastTitle\thealth\tfailures\treason\n1\t", 0),
        0u);
    EXPECT_EQ(json::parse(cli({"plans", "--json"}).out).size(), 2u);
}

TEST_F(CliPlanFileTest, BadFilesAreRefusedWithOneMessagePerFailureAndChangeNothing) {
    addSharedPlans();
    const std::string before = cli({"plans", "export", "--with-state"}).out;
    json document = json::parse(cli({"plans", "export"}).out);
    document["plans"][0]["name"] = "new one";
    document["plans"][0]["regular"] = "(unclosed";
    document["plans"][1]["name"] = "new two";
    document["plans"][1]["url"] = "ftp://b.example/";
    document["plans"][1]["tindex"] = "3";
    const auto bad = cli({"plans", "import", writeFile("bad.json", document.dump())});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.empty()) << bad.out;
    const auto messages = lines(bad.err);
    ASSERT_EQ(messages.size(), 4u) << bad.err;
    EXPECT_NE(messages[0].find("new one"), std::string::npos);
    EXPECT_NE(messages[0].find("regular"), std::string::npos);
    EXPECT_NE(messages[1].find("tindex"), std::string::npos);
    EXPECT_NE(messages[2].find("url"), std::string::npos);
    EXPECT_EQ(messages[3], "lumo-cli: nothing was imported");

    EXPECT_EQ(cli({"plans", "import", writeFile("not.json", "not json at all")}).exitCode, 2);
    const auto missing = cli({"plans", "import", db.directory() + "/missing.json"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
    const auto unknown = cli({"plans", "export", "1", "99"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("99"), std::string::npos) << unknown.err;
    EXPECT_EQ(cli({"plans", "import"}).exitCode, 2);  // FILE is required
    EXPECT_EQ(cli({"plans", "export", "--with-state"}).out, before);
}

TEST_F(CliPlanFileTest, EveryPlanTheWindowCanSaveSurvivesExportAndImport) {
    const Text page = BoardPage::gbkPage(BoardPage::threads(40, 3));
    server.page("/", page);
    server.page("/board", page);
    // What the editor saves after a good rule test: the copy action keeps the name; the address
    // is anything the fetch takes; the index boxes take any text.
    std::vector<MonitorPlan> plans(5, BoardPage::plan(server.url("/board"), true));
    plans[1][MonitorPlan::spare] = gbk("复制的方案");
    plans[2][MonitorPlan::url] = server.url("");
    plans[3][MonitorPlan::url] = "HTTP://" + server.hostAndPort();
    plans[3][MonitorPlan::name] = gbk("另一个");
    plans[4][MonitorPlan::url] = server.hostAndPort() + "/board";
    plans[4][MonitorPlan::name] = "";
    plans[4][MonitorPlan::oindex] = "-1";
    plans[4][MonitorPlan::uindex] = "1000";
    for (MonitorPlan& plan : plans) {
        const int id = db.addPlan(plan);
        const auto test = cli({"test", std::to_string(id)});
        ASSERT_EQ(test.exitCode, 0) << plan[MonitorPlan::url] << test.err;
    }
    const auto exported = cli({"plans", "export"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    const std::string file = writeFile("window.json", exported.out);

    TempDatabase empty;
    const auto imported = cliOn(empty, {"plans", "import", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_NE(imported.out.find("5 added, 0 replaced, 0 skipped"), std::string::npos)
        << imported.out;
    EXPECT_EQ(cliOn(empty, {"plans", "export"}).out, exported.out);

    // Back into the database it came from: each plan finds its own counterpart.
    const std::string before = cli({"plans", "export", "--with-state"}).out;
    const auto again = cli({"plans", "import", file});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("0 added, 0 replaced, 5 skipped"), std::string::npos) << again.out;
    const auto replaced = cli({"plans", "import", "--replace", file});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_NE(replaced.out.find("0 added, 5 replaced, 0 skipped"), std::string::npos)
        << replaced.out;
    EXPECT_EQ(cli({"plans", "export", "--with-state"}).out, before);
}

}  // namespace
}  // namespace lumo::test
