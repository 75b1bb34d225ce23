// `lumo-cli run --on-new CMD`: the user's command for each new article, through the real binary
// against a local board whose titles try to break out of the command.
#include <signal.h>

#include <filesystem>
#include <thread>

#include "cli/CliTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class CliOnNewTest : public CliTestBase {
protected:
    // A ticked plan over a board page with these threads; its id.
    int addBoard(const std::string& path, const std::vector<BoardPage::Thread>& threads) {
        server.page(path, BoardPage::gbkPage(threads));
        MonitorPlan plan = BoardPage::plan(server.url(path), true);
        return db.addPlan(plan);
    }

    std::string file(const std::string& name) const { return db.directory() + "/" + name; }

    // The records the recording command below appended: one per call, six fields each.
    std::vector<std::vector<std::string>> recorded() {
        std::vector<std::vector<std::string>> records;
        const std::string text = fileBytes(file("hook.out"));
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\x1e', start)) != std::string::npos;
             start = end + 1) {
            std::vector<std::string> fields;
            const std::string record = text.substr(start, end - start);
            std::size_t from = 0;
            for (std::size_t at; (at = record.find('\x1f', from)) != std::string::npos;
                 from = at + 1) {
                fields.push_back(record.substr(from, at - from));
            }
            fields.push_back(record.substr(from));
            records.push_back(fields);
        }
        return records;
    }

    // Appends the six variables, unit-separated, to hook.out.
    std::string recordingCommand() const {
        return "printf '%s\\037%s\\037%s\\037%s\\037%s\\037%s\\036' \"$LUMO_ARTICLE_ID\" "
               "\"$LUMO_PLAN_ID\" \"$LUMO_PLAN_NAME\" \"$LUMO_TITLE\" \"$LUMO_URL\" "
               "\"$LUMO_OTHER\" >> '" +
               file("hook.out") + "'";
    }
};

TEST_F(CliOnNewTest, HostileTitlesReachTheCommandIntactThroughTheEnvironmentAndRunNothing) {
    const std::string dir = db.directory();
    const std::vector<BoardPage::Thread> threads = {
        {206, "$(touch " + dir + "/pwned1)"},
        {205, "`touch " + dir + "/pwned2`"},
        {204, "\"; touch " + dir + "/pwned3; echo \""},
        {203, "' ; touch " + dir + "/pwned4 ; '"},
        {202, gbk("<b>标题</b> & \"引号\" $HOME \\n %s")},
        {201, "broken \x81\x20 lead \xFF tail"},
    };
    const int planId = addBoard("/hostile", threads);
    const auto result = cli({"run", "--on-new", recordingCommand()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.empty()) << result.err;

    const std::vector<ArticleRecord> stored = db.articles();
    ASSERT_EQ(stored.size(), threads.size());
    const auto records = recorded();
    ASSERT_EQ(records.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const ArticleRecord& article = stored[i];
        EXPECT_EQ(records[i],
                  (std::vector<std::string>{
                      utf8(article[ArticleRecord::id]), std::to_string(planId),
                      utf8(article[ArticleRecord::planname]), utf8(article[ArticleRecord::title]),
                      utf8(article[ArticleRecord::url]), utf8(article[ArticleRecord::other])}))
            << i;
    }
    // The page's order is newest first; articles are stored, and announced, oldest first.
    // The page's order is newest first; articles are stored, and announced, oldest first.
    // (The run stores some characters of a title in their full-width forms; the command gets
    // exactly what was stored.)
    EXPECT_EQ(records[1][3], utf8(gbk("<b>标题</b> & \"引号\" $HOME \\n %s")));
    EXPECT_EQ(records[4][3].rfind("`touch ", 0), 0u) << records[4][3];
    for (int i = 1; i <= 4; ++i) {
        EXPECT_FALSE(std::filesystem::exists(dir + "/pwned" + std::to_string(i))) << i;
    }

    // A second round stores nothing, so the command is not run again.
    ASSERT_EQ(cli({"run", "--on-new", recordingCommand()}).exitCode, 0);
    EXPECT_EQ(recorded().size(), stored.size());
}

TEST_F(CliOnNewTest, FailingAndOverrunningCommandsAreLoggedAndEndedAndMonitoringGoesOn) {
    const int slow = addBoard("/slow", BoardPage::threads(20, 2));
    addBoard("/failing", BoardPage::threads(50, 2));
    const std::string command =
        "if [ \"$LUMO_PLAN_ID\" = " + std::to_string(slow) + " ]; then sleep 20; else exit 3; fi";
    const auto started = std::chrono::steady_clock::now();
    const auto result = cli({"run", "--on-new", command, "--on-new-timeout", "0.5"});
    const auto elapsed = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_LT(elapsed, 10s);
    const auto messages = lines(result.err);
    ASSERT_EQ(messages.size(), 4u) << result.err;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(messages[i].rfind("新文章命令超过 0.5 秒未结束，已终止（文章 ", 0), 0u)
            << messages[i];
        EXPECT_EQ(messages[2 + i].rfind("新文章命令失败，退出状态 3（文章 ", 0), 0u)
            << messages[2 + i];
    }
    EXPECT_NE(result.out.find("\n执行完毕！"), std::string::npos) << result.out;
    EXPECT_EQ(db.articles().size(), 4u);

    // Not a number, or not a finite one: "nan" would end every command at once.
    for (const char* limit : {"0", "-1", "soon", "nan", "NaN", "inf", "-nan"}) {
        const auto bad = cli({"run", "--on-new", "true", "--on-new-timeout", limit});
        EXPECT_EQ(bad.exitCode, 2) << limit;
        EXPECT_TRUE(bad.out.empty()) << limit;
    }
}

TEST_F(CliOnNewTest, AStopSignalCutsARunningCommandShortAndRunsNoFurtherOne) {
    addBoard("/board", BoardPage::threads(10, 3));
    const std::string pids = file("pids");
    ChildProcess run(
        binary(),
        {"--db", db.path(), "run", "--on-new", "echo $$ >> '" + pids + "'; exec sleep 30"},
        {fastTimings()});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (fileBytes(pids).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    const std::string pidText = fileBytes(pids);
    ASSERT_FALSE(pidText.empty()) << run.out() << run.err();
    run.sendSignal(SIGTERM);
    ASSERT_TRUE(run.wait(3s)) << run.out() << run.err();
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(lines(pidText).size(), 1u);
    EXPECT_EQ(lines(fileBytes(pids)).size(), 1u);
    // The command's process is gone (or a zombie awaiting a reaper that is not ours).
    const std::string stat = "/proc/" + lines(pidText)[0] + "/stat";
    const std::string state = fileBytes(stat);
    const std::size_t close = state.rfind(')');
    EXPECT_TRUE(state.empty() || (close != std::string::npos && state[close + 2] == 'Z')) << state;
    EXPECT_NE(run.err().find("新文章命令因停止监控而结束"), std::string::npos) << run.err();
    // The run itself had landed: its articles stay.
    EXPECT_EQ(db.articles().size(), 3u);
}

}  // namespace
}  // namespace lumo::test
