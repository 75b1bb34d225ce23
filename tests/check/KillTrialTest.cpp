// A real child process runs a monitoring run over a local board on a real lumo.sdb and is killed
// with SIGKILL at a random moment; the run that follows must leave every article stored once.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>
#include <thread>

#include "PlanProcessorTestBase.h"
#include "support/LocalHttpServer.h"

#ifndef LUMO_KILL_TRIAL_CHILD
#define LUMO_KILL_TRIAL_CHILD ""
#endif

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class KillTrialTest : public PlanProcessorTestBase {};

pid_t startChild(const std::string& database, const std::string& url) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(LUMO_KILL_TRIAL_CHILD, LUMO_KILL_TRIAL_CHILD, database.c_str(), url.c_str(), "5",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

TEST_F(KillTrialTest, EveryArticleIsStoredOnceWhateverMomentTheRunIsKilledAt) {
    LocalHttpServer server;
    std::mt19937 rng(20261209);
    int killedMidway = 0;  // trials killed after the child had begun but before it ended
    for (int trial = 0; trial < 50; ++trial) {
        // Each trial: a fresh board of 30 on top of what the earlier trials published.
        const int newest = 30 * (trial + 1);
        const auto board = BoardPage::threads(newest, 30 * (trial + 1));
        server.page("/board", BoardPage::gbkPage(board));
        if (trial == 0) {
            MonitorPlan plan = BoardPage::plan(server.url("/board"), true, "0");
            ASSERT_EQ(db.addPlan(plan), 1);
        }
        const pid_t child = startChild(db.path(), server.url("/board"));
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 250000)(rng)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) >= 2) << "trial " << trial;
        if (WIFSIGNALED(status)) ++killedMidway;

        // The run after the kill, as the restarted program makes it.
        pages.setPage(kUrl, BoardPage::gbkPage(board));
        MonitorPlan plan = db.plan(1);
        plan[MonitorPlan::url] = kUrl;
        state.workerBusy = true;
        monitorRun.run(plan, 1);

        std::map<Text, int> counts;
        for (const Text& title : storedTitles()) ++counts[title];
        ASSERT_EQ(counts.size(), board.size()) << "trial " << trial;
        for (const auto& [title, count] : counts) ASSERT_EQ(count, 1) << "trial " << trial;
    }
    EXPECT_GT(killedMidway, 10);
}

}  // namespace
}  // namespace lumo::test
