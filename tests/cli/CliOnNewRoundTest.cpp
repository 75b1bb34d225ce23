// `lumo-cli run --on-new CMD` as cron and service managers use it: the round and the program wait
// for the commands, long titles, big article ids and an inherited SIGCHLD disposition.
#include <signal.h>
#include <sqlite3.h>

#include <thread>

#include "base/TextOps.h"
#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class CliOnNewRoundTest : public CliTestBase {
protected:
    std::string file(const std::string& name) const { return db.directory() + "/" + name; }

    // Appends the article's id to `name`, one line each.
    std::string recordIdTo(const std::string& name) const {
        return "echo \"$LUMO_ARTICLE_ID\" >> '" + file(name) + "'";
    }

    void execute(const std::string& sql) {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(other);
    }
};

TEST_F(CliOnNewRoundTest, TheRoundEndsOnlyAfterEveryCommandOfItsArticles) {
    addBoardPlan(40, 3);
    // A one-round run, as cron starts it: each command outlasts many heartbeats.
    const auto once = cli({"run", "--on-new", "sleep 0.4; " + recordIdTo("once")});
    ASSERT_EQ(once.exitCode, 0) << once.err;
    EXPECT_TRUE(once.err.empty()) << once.err;
    EXPECT_EQ(lines(fileBytes(file("once"))), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_NE(once.out.find("\n执行完毕！"), std::string::npos) << once.out;

    // Repeating rounds: the round line follows the last command of the round.
    addBoardPlan(70, 2, "/second");
    ChildProcess every(binary(),
                       {"--db", db.path(), "run", "--plans", "2", "--every", "60", "--on-new",
                        "sleep 0.4; " + recordIdTo("every")},
                       {fastTimings()});
    ASSERT_TRUE(every.waitForOutput("已执行一轮", 20s)) << every.out() << every.err();
    EXPECT_EQ(lines(fileBytes(file("every"))), (std::vector<std::string>{"4", "5"}));
    every.sendSignal(SIGTERM);
    ASSERT_TRUE(every.wait(5s));
    EXPECT_TRUE(every.err().empty()) << every.err();

    // The end of the last plan is noticed when its run ends, not at the next look at the
    // worker: with a minute between looks the run still ends at once.
    server.page("/board", BoardPage::gbkPage(BoardPage::threads(41, 4)));
    const auto noticed = ChildProcess::run(
        binary(), {"--db", db.path(), "run", "--plans", "1", "--on-new", recordIdTo("noticed")},
        {fastTimings("60000,50,10,5")}, 20s);
    ASSERT_EQ(noticed.exitCode, 0) << noticed.err;
    EXPECT_EQ(lines(fileBytes(file("noticed"))), (std::vector<std::string>{"6"}));
}

TEST_F(CliOnNewRoundTest, ArticleIdsBeyondThirtyTwoBitsAreNotTakenForNewOnes) {
    const int planId = addBoardPlan(50, 2);
    // Ids of `info` have passed 2147483647 (an imported or long-lived file).
    execute(
        "insert into info(id,planname,planid,title,url,other,addtime,issoucang) values("
        "3000000000,'old'," +
        std::to_string(planId) + ",'old title','http://old.test/','',''," + "0)");
    const auto result = cli({"run", "--on-new", recordIdTo("ids")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(lines(fileBytes(file("ids"))),
              (std::vector<std::string>{"3000000001", "3000000002"}));
    // Only the run's own articles are printed.
    std::vector<std::string> printed;
    for (const std::string& line : lines(result.out)) {
        if (line.find('\t') != std::string::npos)
            printed.push_back(line.substr(0, line.find('\t')));
    }
    EXPECT_EQ(printed, (std::vector<std::string>{"3000000001", "3000000002"})) << result.out;
    // The latest list in JSON gives the ids as they are.
    const auto latest = cli({"latest", "--json", "-n", "1"});
    ASSERT_EQ(latest.exitCode, 0) << latest.err;
    EXPECT_EQ(nlohmann::json::parse(latest.out).at(0).at("id"), 3000000002LL) << latest.out;
}

TEST_F(CliOnNewRoundTest, AHugeTitleReachesTheCommandCutAtACharacterWithAMark) {
    // About 300 KiB of GBK title: 100,000 Chinese characters, three bytes each in UTF-8.
    Text huge;
    for (int i = 0; i < 100000; ++i) huge += gbk(i % 2 == 0 ? "长" : "题");
    server.page("/board", BoardPage::gbkPage({{31, huge}, {30, gbk("短标题")}}));
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    db.addPlan(plan);
    const std::string command = "printf '%s' \"$LUMO_TITLE\" > '" + file("title") +
                                "'$LUMO_ARTICLE_ID; printf '%s' \"${LUMO_TRUNCATED-none}\" > '" +
                                file("cut") + "'$LUMO_ARTICLE_ID";
    const auto result = cli({"run", "--on-new", command});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    // Article 1 is the short one (oldest first), article 2 the huge one.
    EXPECT_EQ(fileBytes(file("title1")), "短标题");
    EXPECT_EQ(fileBytes(file("cut1")), "none");
    const std::string full = utf8(db.articles().at(1)[ArticleRecord::title]);
    const std::string got = fileBytes(file("title2"));
    ASSERT_FALSE(got.empty());
    EXPECT_LE(got.size(), 32768u);
    EXPECT_GT(got.size(), 32000u);
    EXPECT_EQ(full.compare(0, got.size(), got), 0);
    // Cut before a character, never inside one.
    EXPECT_NE(static_cast<unsigned char>(full[got.size()]) & 0xC0, 0x80);
    EXPECT_EQ(fileBytes(file("cut2")), "LUMO_TITLE");
}

TEST_F(CliOnNewRoundTest, AnInheritedIgnoredChildSignalStillShowsFailingCommands) {
    addBoardPlan(12, 1);
    // The service manager, shell or parent program left SIGCHLD ignored.
    const auto result = ChildProcess::run(
        "/usr/bin/env",
        {"--ignore-signal=CHLD", binary(), "--db", db.path(), "run", "--on-new", "exit 3"},
        {fastTimings()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("新文章命令失败，退出状态 3（文章 1）"), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace lumo::test
