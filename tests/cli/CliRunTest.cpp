// `lumo-cli run`: monitoring rounds of the real binary against a local board, stops by signal,
// and work beside another connection to the same file.
#include <signal.h>
#include <sqlite3.h>

#include <random>

#include "base/TextOps.h"
#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class CliRunTest : public CliTestBase {
protected:
    // lumo-cli --db <database> run arguments..., started and left running.
    std::unique_ptr<ChildProcess> startRun(std::vector<std::string> arguments,
                                           const std::string& timings = "100,50,10,5") {
        arguments.insert(arguments.begin(), {"--db", db.path(), "run"});
        return std::make_unique<ChildProcess>(binary(), arguments,
                                              std::vector<std::string>{fastTimings(timings)});
    }

    static int countOf(const std::string& text, const std::string& what) {
        int count = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + what.size())) {
            ++count;
        }
        return count;
    }
};

TEST_F(CliRunTest, OneRoundOverTheTickedPlansWithTheEnginesLogLines) {
    addBoardPlan(30, 5, "/ticked");
    addBoardPlan(90, 4, "/other", false);
    const auto result = cli({"run"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;
    const std::string& out = result.out;
    EXPECT_NE(out.find("开始访问任务1的网页----"), std::string::npos);
    EXPECT_NE(out.find("任务1/1：测试论坛_休闲灌水（1）" + server.url("/ticked")),
              std::string::npos)
        << out;
    EXPECT_EQ(countOf(out, "成功！SQL：insert into info"), 5);
    EXPECT_NE(out.find("成功！SQL：update rule set arttile="), std::string::npos);
    EXPECT_NE(out.find("任务1已结束----"), std::string::npos);
    EXPECT_NE(out.find("\n已执行一轮，300秒后继续下一轮----"), std::string::npos);
    EXPECT_NE(out.find("\n发现有新内容，已发出提醒通知！----"), std::string::npos);
    EXPECT_NE(out.find("\n执行完毕！"), std::string::npos);
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_EQ(out.back(), '\n');
    // The new articles follow the round line, one tab-separated line each, oldest first.
    EXPECT_NE(out.find("\n1\t测试论坛_休闲灌水\t" + utf8(BoardPage::thread(26).title) +
                       "\thttp://bbs.example.test/thread-26-1-1.html\t"),
              std::string::npos)
        << out;
    EXPECT_EQ(storedThreadCounts(),
              (std::map<int, int>{{26, 1}, {27, 1}, {28, 1}, {29, 1}, {30, 1}}));

    // A second round finds nothing new.
    const auto again = cli({"run"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(db.articles().size(), 5u);
    EXPECT_EQ(again.out.find("发现有新内容"), std::string::npos);
}

TEST_F(CliRunTest, GivenPlansInsteadOfTheTickedOnesAndQuietOutput) {
    addBoardPlan(30, 2, "/ticked");
    const int other = addBoardPlan(90, 3, "/other", false);
    const auto result = cli({"run", "--plans", std::to_string(other), "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_EQ(rows.size(), 3u) << result.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int thread = 88 + static_cast<int>(i);
        EXPECT_EQ(rows[i].rfind(std::to_string(i + 1) + "\t测试论坛_休闲灌水\t" +
                                    utf8(BoardPage::thread(thread).title) + "\t",
                                0),
                  0u)
            << rows[i];
    }
    EXPECT_EQ(storedThreadCounts(), (std::map<int, int>{{88, 1}, {89, 1}, {90, 1}}));
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.lastRequest().path(), "/other");
}

TEST_F(CliRunTest, QuietRunStillReportsErrorsOnStandardError) {
    const int id = addBoardPlan(30, 2);
    db.database().execute("update rule set regular='(unclosed' where id=" + std::to_string(id));
    const auto result = cli({"run", "--quiet"});
    EXPECT_EQ(result.exitCode, 3);  // a check failed
    EXPECT_TRUE(result.out.empty()) << result.out;
    EXPECT_NE(result.err.find("出错！正则匹配失败："), std::string::npos) << result.err;
    EXPECT_TRUE(db.articles().empty());
    EXPECT_EQ(db.plan(id)[MonitorPlan::arttile], "");
}

TEST_F(CliRunTest, RefusedStartsChangeNothing) {
    addBoardPlan(30, 2, "/board", false);
    const auto nothingTicked = cli({"run"});
    EXPECT_EQ(nothingTicked.exitCode, 2);
    EXPECT_EQ(nothingTicked.err, "请勾选至少1个 监控方案\n");

    const auto tooOften = cli({"run", "--plans", "1", "--every", "59"});
    EXPECT_EQ(tooOften.exitCode, 2);
    EXPECT_EQ(tooOften.err, "监控频率不能低于 60 秒\n");
    EXPECT_TRUE(tooOften.out.empty());

    const auto unknown = cli({"run", "--plans", "1,7"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("no plan with id 7"), std::string::npos);

    EXPECT_EQ(cli({"run", "--every", "often"}).exitCode, 2);
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_TRUE(db.articles().empty());
}

TEST_F(CliRunTest, TenDigitThreadIdsStayNewInTheIdJudgementMode) {
    // A large board's thread ids: 3000000001 and up.
    const auto page = [](int newest, int count) {
        Text text = BoardPage::gbkPage(BoardPage::threads(newest, count));
        for (int id = newest; id > newest - count; --id) {
            text = replaceAllText(text, "thread-" + textOfInteger(id) + "-1-1",
                                  "thread-30000000" + textOfInteger(id) + "-1-1");
        }
        return text;
    };
    server.page("/big", page(13, 3));
    MonitorPlan plan = BoardPage::plan(server.url("/big"), true, "8");
    const int id = db.addPlan(plan);
    ASSERT_EQ(cli({"run"}).exitCode, 0);
    EXPECT_EQ(db.plan(id)[MonitorPlan::lastid], "3000000013");
    server.page("/big", page(14, 4));
    ASSERT_EQ(cli({"run"}).exitCode, 0);
    EXPECT_EQ(db.plan(id)[MonitorPlan::lastid], "3000000014");
    const std::vector<ArticleRecord> stored = db.articles();
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored.back()[ArticleRecord::url],
              "http://bbs.example.test/thread-3000000014-1-1.html");
}

TEST_F(CliRunTest, RepeatingRoundsPickUpNewArticlesUntilStopped) {
    addBoardPlan(12, 2);
    // 60 "seconds" of 10 ms: a round every 0.6 s plus the gap.
    auto run = startRun({"--every", "60"});
    ASSERT_TRUE(run->waitForOutput("已执行一轮，60秒后继续下一轮----", 5s)) << run->out();
    server.page("/board", BoardPage::gbkPage(BoardPage::threads(15, 5)));
    ASSERT_TRUE(run->waitForOutput(utf8(BoardPage::thread(15).title), 5s)) << run->out();
    const auto stoppedAt = std::chrono::steady_clock::now();
    run->sendSignal(SIGTERM);
    ASSERT_TRUE(run->wait(3s));
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 2s);
    EXPECT_EQ(run->exitCode(), 0) << run->err();
    EXPECT_EQ(run->out().find("执行完毕！"), std::string::npos);
    EXPECT_EQ(storedThreadCounts(),
              (std::map<int, int>{{11, 1}, {12, 1}, {13, 1}, {14, 1}, {15, 1}}));
}

TEST_F(CliRunTest, SignalCutsAStalledFetchShort) {
    server.route("/board", [](const ReceivedRequest&) {
        ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true);
    db.addPlan(plan);
    for (const int signal : {SIGINT, SIGTERM}) {
        auto run = startRun({});
        ASSERT_TRUE(run->waitForOutput("开始访问任务1的网页", 5s));
        const auto stoppedAt = std::chrono::steady_clock::now();
        run->sendSignal(signal);
        ASSERT_TRUE(run->wait(3s));
        EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 2s);
        EXPECT_EQ(run->exitCode(), 0);
        EXPECT_EQ(run->out().find("已结束"), std::string::npos);
    }
    EXPECT_TRUE(db.articles().empty());
}

// A steady check's record waits for the round's last check; a stop before that check still
// records it, on the way out.
TEST_F(CliRunTest, AStopBeforeTheRoundsLastCheckStillRecordsItsSteadyChecks) {
    const int steady = addBoardPlan(30, 5, "/steady");
    ASSERT_EQ(cli({"run"}).exitCode, 0);
    const auto checked = [&] {
        const QueryResult read =
            db.query("select checked from planhealth where planid=" + std::to_string(steady));
        return read.ok && read.rows.size() == 1 ? read.rows.front()[0] : Text("unreadable");
    };
    const Text firstCheck = checked();
    ASSERT_FALSE(firstCheck.empty());
    // Times are kept to the second.
    std::this_thread::sleep_for(1100ms);
    server.route("/stalled", [](const ReceivedRequest&) {
        ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    addBoardPlan(10, 1, "/stalled");
    auto run = startRun({});
    ASSERT_TRUE(run->waitForOutput("开始访问任务2的网页", 5s)) << run->out();
    run->sendSignal(SIGTERM);
    ASSERT_TRUE(run->wait(3s));
    EXPECT_EQ(run->exitCode(), 0) << run->err();
    EXPECT_NE(checked(), firstCheck);
}

TEST_F(CliRunTest, StopAtRandomMomentsStoresEveryArticleExactlyOnce) {
    constexpr int kThreads = 25;
    addBoardPlan(500, kThreads);
    std::mt19937 random(std::random_device{}());
    std::chrono::steady_clock::duration longestStop{};
    for (int trial = 0; trial < 6; ++trial) {
        // 20 ms after each insert: the inserts take about half a second.
        auto run = startRun({}, "100,50,10,20");
        // A signal that comes before main() has set its handler ends the process the default
        // way; the random moments start once the program speaks.
        ASSERT_TRUE(run->waitForOutput("\n", 5s)) << run->err();
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 700));
        const auto stoppedAt = std::chrono::steady_clock::now();
        run->sendSignal(SIGTERM);
        ASSERT_TRUE(run->wait(3s));
        const auto stopTook = std::chrono::steady_clock::now() - stoppedAt;
        longestStop = std::max(longestStop, stopTook);
        EXPECT_LT(stopTook, 2s);
        EXPECT_EQ(run->exitCode(), 0) << run->err();
        // Nothing is written once the process has gone, and nothing half: every row is whole.
        for (const ArticleRecord& article : db.articles()) {
            EXPECT_FALSE(article[ArticleRecord::title].empty());
            EXPECT_FALSE(article[ArticleRecord::addtime].empty());
        }
        // Then a run to its end.
        const auto finished = cli({"run", "--quiet"});
        ASSERT_EQ(finished.exitCode, 0) << finished.err;
        const auto counts = storedThreadCounts();
        EXPECT_EQ(counts.size(), static_cast<std::size_t>(kThreads)) << "an article was lost";
        for (const auto& [thread, count] : counts) EXPECT_EQ(count, 1) << thread;
        ASSERT_TRUE(
            db.database().execute("delete from info; update rule set arttile='',lasttime=''"));
    }
    std::cout << "[ MEASURED ] longest stop: "
              << std::chrono::duration_cast<std::chrono::milliseconds>(longestStop).count()
              << " ms\n";
}

TEST_F(CliRunTest, WaitsForAnotherWriterAndLosesNoWrite) {
    addBoardPlan(700, 20);
    ASSERT_TRUE(db.database().execute(
        "insert into info(title,issoucang) values('x',0); insert into info(title,issoucang) "
        "values('y',0)"));
    // Another program (the window, say) holds the write lock for a second at the start.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin immediate; update info set issoucang=1 where title='x'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    auto run = startRun({"--quiet"});
    std::this_thread::sleep_for(1s);
    ASSERT_EQ(sqlite3_exec(other, "commit", nullptr, nullptr, nullptr), SQLITE_OK);
    // And keeps writing while the run inserts.
    sqlite3_busy_timeout(other, 5000);
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(sqlite3_exec(other, "update info set issoucang=1-issoucang where title='y'",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        std::this_thread::sleep_for(10ms);
    }
    sqlite3_close(other);
    ASSERT_TRUE(run->wait(10s));
    EXPECT_EQ(run->exitCode(), 0);
    EXPECT_TRUE(run->err().empty()) << run->err();
    EXPECT_EQ(storedThreadCounts().size(), 20u);
    EXPECT_EQ(lines(run->out()).size(), 20u);
    const auto flags = db.query("select title,issoucang from info where title in ('x','y')");
    ASSERT_EQ(flags.rows.size(), 2u);
    EXPECT_EQ(flags.rows[0][1], "1");
    EXPECT_EQ(flags.rows[1][1], "0");
}

TEST_F(CliRunTest, StopWhileWaitingForTheFileEndsInTime) {
    addBoardPlan(40, 3);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin immediate; update rule set name=name", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    auto run = startRun({});
    // The first insert waits for the lock (up to the busy timeout of five seconds).
    ASSERT_TRUE(run->waitForOutput("开始访问任务1的网页", 5s));
    std::this_thread::sleep_for(300ms);
    const auto stoppedAt = std::chrono::steady_clock::now();
    run->sendSignal(SIGTERM);
    ASSERT_TRUE(run->wait(3s));
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 2500ms);
    EXPECT_EQ(run->exitCode(), 0);
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(db.articles().empty());
    EXPECT_EQ(db.plan(1)[MonitorPlan::arttile], "");
}

}  // namespace
}  // namespace lumo::test
