#include "hooks/NewArticleCommand.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/GbkCodec.h"
#include "support/FakeStatusLog.h"
#include "support/TempFolder.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class NewArticleCommandTest : public ::testing::Test {
protected:
    static std::string read(const fs::path& path) { return test::TempFolder::read(path); }
    // Commands run in the test's folder, so anything a title managed to run would land there.
    std::string inFolder(const std::string& command) const {
        return "cd '" + folder_.string() + "' || exit 1; " + command;
    }
    // True once `pid` has ended (given a moment for whoever adopted it to reap it).
    static bool processGone(pid_t pid) {
        for (int i = 0; i < 100; ++i) {
            const std::string stat = read("/proc/" + std::to_string(pid) + "/stat");
            if (kill(pid, 0) != 0 || stat.find(") Z ") != std::string::npos) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    static bool hasChildren() {
        int status = 0;
        return waitpid(-1, &status, WNOHANG) != -1 || errno != ECHILD;
    }

    test::TempFolder temp_{"lumo-hook"};
    const fs::path folder_ = temp_.path();
    test::FakeStatusLog log_;
};

ArticleRecord hostileArticle() {
    ArticleRecord article;
    article[ArticleRecord::id] = "17";
    article[ArticleRecord::planid] = "3";
    article[ArticleRecord::planname] = gbk("水木'社区\"");
    article[ArticleRecord::title] =
        gbk("标题 $(touch pwned1) `touch pwned2` '; touch pwned3; echo \"\n$HOME\\ \x01");
    article[ArticleRecord::url] = "http://b.example/t?a=1&b=$(touch pwned4)";
    article[ArticleRecord::other] = "|touch pwned5";
    return article;
}

TEST_F(NewArticleCommandTest, HostileValuesArriveIntactThroughTheEnvironmentAndRunNothing) {
    setenv("LUMO_TITLE", "from the parent", 1);
    const NewArticleCommand command(
        inFolder("for v in LUMO_PLAN_ID LUMO_PLAN_NAME LUMO_TITLE LUMO_URL LUMO_OTHER "
                 "LUMO_ARTICLE_ID; do printenv \"$v\" > \"$v\"; done"),
        log_);
    unsetenv("LUMO_TITLE");
    const ArticleRecord article = hostileArticle();
    EXPECT_EQ(command.run(article), NewArticleCommand::Outcome::Succeeded);
    EXPECT_EQ(log_.content(), "");
    EXPECT_EQ(read(folder_ / "LUMO_ARTICLE_ID"), "17\n");
    EXPECT_EQ(read(folder_ / "LUMO_PLAN_ID"), "3\n");
    EXPECT_EQ(read(folder_ / "LUMO_PLAN_NAME"), "水木'社区\"\n");
    EXPECT_EQ(read(folder_ / "LUMO_TITLE"),
              "标题 $(touch pwned1) `touch pwned2` '; touch pwned3; echo \"\n$HOME\\ \x01\n");
    EXPECT_EQ(read(folder_ / "LUMO_URL"), "http://b.example/t?a=1&b=$(touch pwned4)\n");
    EXPECT_EQ(read(folder_ / "LUMO_OTHER"), "|touch pwned5\n");
    for (int n = 1; n <= 5; ++n) {
        EXPECT_FALSE(fs::exists(folder_ / ("pwned" + std::to_string(n)))) << n;
    }
    EXPECT_FALSE(hasChildren());
}

TEST_F(NewArticleCommandTest, OnlyTheStandardDescriptorsReachTheCommand) {
    // A descriptor of ours without close-on-exec must not leak into the command.
    const int leaky = open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    const NewArticleCommand command(inFolder("ls /proc/self/fd > fds; cat > stdin"), log_);
    EXPECT_EQ(command.run(hostileArticle()), NewArticleCommand::Outcome::Succeeded);
    close(leaky);
    // 0, 1, 2 and the one ls opens to read the folder.
    std::istringstream fds(read(folder_ / "fds"));
    int count = 0;
    for (std::string fd; fds >> fd;) ++count;
    EXPECT_LE(count, 4) << read(folder_ / "fds");
    EXPECT_EQ(read(folder_ / "stdin"), "");
}

TEST_F(NewArticleCommandTest, AFailingCommandIsLoggedOnceAndTheCallerGoesOn) {
    const NewArticleCommand failing("exit 3", log_);
    EXPECT_EQ(failing.run(hostileArticle()), NewArticleCommand::Outcome::Failed);
    const std::string line = gbkToUtf8(log_.content());
    EXPECT_EQ(line, "\r\n新文章命令失败，退出状态 3（文章 17）：exit 3");

    log_.replace("");
    const NewArticleCommand killed("kill -9 $$", log_);
    EXPECT_EQ(killed.run(hostileArticle()), NewArticleCommand::Outcome::Failed);
    EXPECT_EQ(gbkToUtf8(log_.content()), "\r\n新文章命令被信号 9 结束（文章 17）：kill -9 $$");
    EXPECT_FALSE(hasChildren());
}

// The caller's thread waits for a long command without spinning: its pauses between looks stay
// short and never overflow, whatever the command's run time.
TEST_F(NewArticleCommandTest, WaitingForALongCommandCostsNoCpu) {
    const auto cpuSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const NewArticleCommand slow("sleep 3", log_, 20s);
    const double before = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slow.run(hostileArticle()), NewArticleCommand::Outcome::Succeeded);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_LT(cpuSeconds() - before, 0.5);
}

TEST_F(NewArticleCommandTest, ACommandPastItsLimitIsEndedWithItsWholeGroup) {
    // The shell starts a sleep of its own (a grandchild) and records its pid.
    const NewArticleCommand slow(inFolder("sleep 100 & echo $! > pid; wait"), log_, 300ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slow.run(hostileArticle()), NewArticleCommand::Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_EQ(gbkToUtf8(log_.content()),
              "\r\n新文章命令超过 0.3 秒未结束，已终止（文章 17）：" + slow.commandLine());
    // The grandchild is gone too.
    EXPECT_TRUE(processGone(std::stoi(read(folder_ / "pid"))));
    EXPECT_FALSE(hasChildren());
}

TEST_F(NewArticleCommandTest, ACommandThatIgnoresTermIsKilled) {
    const NewArticleCommand stubborn(inFolder("trap '' TERM; sleep 100 & echo $! > pid; wait"),
                                     log_, 200ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(stubborn.run(hostileArticle()), NewArticleCommand::Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    EXPECT_TRUE(processGone(std::stoi(read(folder_ / "pid"))));
    EXPECT_FALSE(hasChildren());
}

TEST_F(NewArticleCommandTest, AStopEndsARunningCommandAtOnce) {
    const NewArticleCommand slow("sleep 100", log_);
    std::stop_source stop;
    std::thread stopper([&] {
        std::this_thread::sleep_for(100ms);
        stop.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slow.run(hostileArticle(), stop.get_token()), NewArticleCommand::Outcome::Stopped);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_NE(gbkToUtf8(log_.content()).find("因停止监控而结束"), std::string::npos);
    EXPECT_FALSE(hasChildren());
}

}  // namespace
}  // namespace lumo
