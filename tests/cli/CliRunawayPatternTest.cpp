// A pattern that backtracks without end, padded so that the regex engine's own complexity bound
// (which grows with the pattern's length) never fires: through the real lumo-cli, every search
// ends within its time limit, a stop ends it at once, and import refuses such a pattern.
#include <csignal>

#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// "(a+)+b" with a comment of 3000 bytes, and a page whose region is a line of "a"s.
const std::string kRunaway = "(a+)+b(?#" + std::string(3000, 'x') + ")";

class CliRunawayPatternTest : public CliTestBase {
protected:
    int addRunawayPlan() {
        server.page("/aaa", Text("<body>\r\n<list>") + Text(2000, 'a') + "</list>\r\n</body>\r\n");
        MonitorPlan plan = BoardPage::plan(server.url("/aaa"), true);
        plan[MonitorPlan::before] = "<list>";
        plan[MonitorPlan::after] = "</list>";
        plan[MonitorPlan::regular] = kRunaway;
        plan[MonitorPlan::tindex] = "0";
        plan[MonitorPlan::uindex] = "0";
        plan[MonitorPlan::oindex] = "0";
        return db.addPlan(plan);
    }
};

TEST_F(CliRunawayPatternTest, TheRuleTestEndsWithinItsLimitAndSaysWhy) {
    const int id = addRunawayPlan();
    const auto started = std::chrono::steady_clock::now();
    const auto test = cli({"test", std::to_string(id)});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
    EXPECT_EQ(test.exitCode, 1) << test.err;
    EXPECT_NE(test.err.find("the pattern was refused: The search ran out of time"),
              std::string::npos)
        << test.err;
}

TEST_F(CliRunawayPatternTest, SigtermEndsARunDuringTheSearch) {
    const int id = addRunawayPlan();
    ChildProcess run(binary(), {"--db", db.path(), "run", "--plans", std::to_string(id)},
                     {fastTimings()});
    ASSERT_TRUE(run.waitForOutput("开始访问任务1的网页", 5s)) << run.err();
    // The page is small and local: well within this the search is running.
    for (int i = 0; i < 100 && server.requestCount() == 0; ++i) std::this_thread::sleep_for(20ms);
    ASSERT_EQ(server.requestCount(), 1u);
    std::this_thread::sleep_for(500ms);
    const auto stoppedAt = std::chrono::steady_clock::now();
    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.wait(10s));
    // Well before the search's own time limit would have ended it.
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, 2s);
    EXPECT_EQ(run.exitCode(), 0) << run.err();
    EXPECT_EQ(run.out().find(utf8(gbk("正则匹配失败"))), std::string::npos) << run.out();
    EXPECT_TRUE(db.articles().empty());
    EXPECT_TRUE(db.plan(id)[MonitorPlan::lasttime].empty());
}

TEST_F(CliRunawayPatternTest, ImportRefusesARunawayPatternAndTakesCommonOnes) {
    addBoardPlan(20, 2);
    json document = json::parse(cli({"plans", "export"}).out);
    document["plans"].push_back(document["plans"][0]);
    document["plans"][1]["name"] = "runaway";
    document["plans"][1]["regular"] = kRunaway;
    const std::string path = db.directory() + "/runaway.json";
    std::ofstream(path, std::ios::binary) << document.dump();

    TempDatabase other;
    const auto started = std::chrono::steady_clock::now();
    const auto refused =
        ChildProcess::run(binary(), {"--db", other.path(), "plans", "import", path});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 20s);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find(utf8(gbk("方案 #2「runaway」：字段 regular 正则表达式会失控回溯"))),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.err.find(utf8(gbk("方案 #1"))), std::string::npos) << refused.err;
    EXPECT_EQ(other.query("select count(*) from rule").rows[0][0], "0");
}

}  // namespace
}  // namespace lumo::test
