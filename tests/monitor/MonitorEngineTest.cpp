#include "monitor/MonitorEngine.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <ctime>
#include <limits>
#include <memory>
#include <string>
#include <thread>

#include "base/GbkCodec.h"
#include "monitor/MonitorEngineFakes.h"
#include "support/FakeMessagePresenter.h"
#include "support/FixedTime.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

using test::FakeAlertSurface;
using test::FakeMessagePresenter;
using test::FakeMonitorView;
using test::ManualTimers;
using test::QueuedWindowThread;
using test::RecordingStatusLog;
using test::ScriptedRunner;
using Phase = MonitorEngine::Phase;

using test::fixedTime;

const Text kTime = test::kFixedTimeText;

Text heartbeatLine(int position) {
    return gbk("\r\n开始访问任务") + textOfInteger(position) + gbk("的网页----") + kTime;
}
Text roundLine(const Text& frequency) {
    return gbk("已执行一轮，") + frequency + gbk("秒后继续下一轮----") + kTime;
}
Text runLine(int position) {
    return gbk("\r\n任务") + textOfInteger(position) + "END";
}
const Text kFinished = gbk("\r\n执行完毕！");
const Text kAlertLine = gbk("\r\n发现有新内容，已发出提醒通知！----") + kTime;

int occurrences(const Text& haystack, const Text& needle) {
    int count = 0;
    for (std::size_t at = haystack.find(needle); at != Text::npos;
         at = haystack.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

class MonitorEngineTest : public ::testing::Test {
protected:
    MonitorEngineTest() {
        MonitorEngine::Options options;
        options.clock = [] { return fixedTime(); };
        engine = std::make_unique<MonitorEngine>(view, view, notifier, log, messages, timers, state,
                                                 runner, options);
    }
    ~MonitorEngineTest() override {
        runner.finishAtOnce = true;
        runner.releaseOne();
        engine.reset();
    }

    // Waits (in real time) until the worker's run has returned and its thread has ended, so the
    // next look of the engine sees it idle.
    void settleWorker() {
        for (int i = 0; i < 500 && state.workerBusy; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(state.workerBusy);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    void expectIdle() {
        EXPECT_EQ(engine->phase(), Phase::Idle);
        EXPECT_EQ(view.caption, gbk("开 始"));
        EXPECT_TRUE(view.inputsEnabled);
        EXPECT_EQ(timers.pendingCount(), 0u);
    }

    MonitorState state;
    RecordingStatusLog log;
    FakeMessagePresenter messages;
    ManualTimers timers;
    FakeMonitorView view;
    FakeAlertSurface surface;
    NewContentNotifier notifier{surface, log, state, [] { return fixedTime(); }};
    ScriptedRunner runner{state, log};
    std::unique_ptr<MonitorEngine> engine;
};

TEST_F(MonitorEngineTest, SingleRoundLogsItsLinesInOrderAndStopsByItself) {
    view.addPlan("A", true);
    view.addPlan("B", false);
    view.addPlan("C", true);
    engine->onRunClicked();
    EXPECT_EQ(engine->phase(), Phase::Processing);
    EXPECT_EQ(view.caption, gbk("停 止"));
    EXPECT_FALSE(view.inputsEnabled);
    EXPECT_EQ(view.latestPageShown, 1);
    EXPECT_EQ(view.statusShown, 1);
    EXPECT_EQ(state.checkedRows, (std::vector<int>{0, 2}));
    ASSERT_TRUE(runner.waitStarted(1));
    EXPECT_EQ(log.content(), heartbeatLine(1));

    timers.advance(2000);  // still busy: a second heartbeat
    runner.releaseOne();
    settleWorker();
    timers.advance(2000);  // the end is noticed; the gap begins
    EXPECT_EQ(engine->phase(), Phase::BetweenPlans);
    EXPECT_EQ(runner.calls().size(), 1u);
    timers.advance(4999);
    EXPECT_EQ(runner.calls().size(), 1u);
    timers.advance(1);
    ASSERT_TRUE(runner.waitStarted(2));
    EXPECT_EQ(runner.calls()[1].planName, "C");
    EXPECT_EQ(runner.calls()[1].position, 2);
    runner.releaseOne();
    settleWorker();
    timers.advance(2000);

    EXPECT_EQ(log.history(), heartbeatLine(1) + heartbeatLine(1) + runLine(1) + heartbeatLine(2) +
                                 runLine(2) + "<replace>" + roundLine("300") + kFinished);
    EXPECT_EQ(log.content(), roundLine("300") + kFinished);
    expectIdle();
    EXPECT_EQ(view.statusShown, 2);  // the closing click shows the log too
    EXPECT_EQ(view.articleReloads + view.planReloads, 0);
    EXPECT_EQ(surface.soundsPlayed, 0);
    EXPECT_EQ(runner.maxActive(), 1);
    EXPECT_EQ(runner.calls()[0].planName, "A");
}

TEST_F(MonitorEngineTest, APlanOfSevenSecondsGetsFourHeartbeats) {
    view.addPlan("A", true);
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(1));
    for (int second = 1; second <= 7; ++second) timers.advance(1000);
    runner.releaseOne();
    settleWorker();
    timers.advance(1000);
    EXPECT_EQ(occurrences(log.history(), heartbeatLine(1)), 4);
    expectIdle();
}

TEST_F(MonitorEngineTest, RepeatingRoundsWaitTheFrequencyAndTheGap) {
    view.addPlan("A", true);
    view.autoMonitor = true;
    view.frequency = "60";
    runner.finishAtOnce = true;
    engine->onRunClicked();
    settleWorker();
    timers.advance(2000);
    EXPECT_EQ(engine->phase(), Phase::BetweenRounds);
    EXPECT_EQ(log.content(), roundLine("60"));
    timers.advance(60000 + 4999);
    EXPECT_EQ(runner.calls().size(), 1u);
    timers.advance(1);
    ASSERT_TRUE(runner.waitStarted(2));
    EXPECT_EQ(timers.now(), 2000 + 60000 + 5000);
    EXPECT_EQ(runner.calls()[1].position, 1);
    EXPECT_EQ(view.caption, gbk("停 止"));
    engine->onRunClicked();
    expectIdle();
}

// A stop in each state: nothing follows it, however long the program keeps running.
TEST_F(MonitorEngineTest, StopDuringEachStateEndsMonitoringAtOnce) {
    struct Case {
        const char* name;
        std::int64_t runFor;  // fake time after the first plan ended (-1: during the plan)
        bool repeat;
    };
    for (const Case c : {Case{"processing", -1, false}, Case{"between plans", 2000, false},
                         Case{"round wait", 2000 + 1000, true},
                         Case{"gap after the round wait", 2000 + 61000, true}}) {
        SCOPED_TRACE(c.name);
        MonitorState localState;
        RecordingStatusLog localLog;
        ManualTimers localTimers;
        FakeMonitorView localView;
        FakeAlertSurface localSurface;
        NewContentNotifier localNotifier{localSurface, localLog, localState};
        ScriptedRunner localRunner{localState, localLog};
        localRunner.findsNew = true;
        MonitorEngine localEngine(localView, localView, localNotifier, localLog, messages,
                                  localTimers, localState, localRunner, {});
        localView.addPlan("A", true);
        if (!c.repeat) localView.addPlan("B", true);
        localView.autoMonitor = c.repeat;
        localView.frequency = "60";
        localEngine.onRunClicked();
        ASSERT_TRUE(localRunner.waitStarted(1));
        if (c.runFor >= 0) {
            localRunner.releaseOne();
            ASSERT_TRUE(localRunner.waitFinished(1));
            for (int i = 0; i < 500 && localState.workerBusy; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            localTimers.advance(c.runFor);
        }
        const int reloadsBefore = localView.articleReloads;
        const int soundsBefore = localSurface.soundsPlayed;

        localEngine.onRunClicked();
        EXPECT_EQ(localEngine.phase(), Phase::Idle);
        EXPECT_EQ(localView.caption, gbk("开 始"));
        EXPECT_TRUE(localView.inputsEnabled);
        EXPECT_FALSE(localState.workerBusy);
        EXPECT_TRUE(localState.stopRequested);
        EXPECT_EQ(localTimers.pendingCount(), 0u);
        ASSERT_TRUE(localRunner.waitFinished(1));  // the stop token ended the run
        const Text after = localLog.history();
        localTimers.advance(1000000);
        EXPECT_EQ(localLog.history(), after);
        EXPECT_EQ(localRunner.calls().size(), 1u);
        EXPECT_EQ(localView.articleReloads, reloadsBefore);
        EXPECT_EQ(localSurface.soundsPlayed, soundsBefore);
        if (c.runFor < 0) {
            EXPECT_EQ(occurrences(after, runLine(1)), 0);  // the abandoned run wrote nothing
        }
    }
}

TEST_F(MonitorEngineTest, StopDuringTheRoundEndReloadSkipsTheRest) {
    view.addPlan("A", true);
    runner.finishAtOnce = true;
    runner.findsNew = true;
    view.onReloadArticles = [&] { engine->onRunClicked(); };
    engine->onRunClicked();
    settleWorker();
    timers.advance(2000);
    EXPECT_EQ(view.articleReloads, 1);
    EXPECT_EQ(view.planReloads, 0);
    EXPECT_EQ(surface.soundsPlayed, 0);
    EXPECT_EQ(log.content(), roundLine("300"));
    EXPECT_TRUE(state.newContentFound);
    expectIdle();
}

TEST_F(MonitorEngineTest, NewStartWaitsUntilTheStoppedWorkerHasEnded) {
    view.addPlan("A", true);
    runner.ignoreStop = true;  // a run that takes a while to notice the stop
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(1));
    engine->onRunClicked();
    expectIdle();
    engine->onRunClicked();
    EXPECT_EQ(engine->phase(), Phase::WaitingForPreviousWorker);
    EXPECT_EQ(view.caption, gbk("停 止"));
    const Text before = log.history();
    timers.advance(1000);
    EXPECT_EQ(runner.calls().size(), 1u);
    EXPECT_EQ(log.history(), before);

    runner.releaseOne();  // the old run ends, writing nothing
    ASSERT_TRUE(runner.waitFinished(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    timers.advance(50);
    ASSERT_TRUE(runner.waitStarted(2));
    EXPECT_EQ(engine->phase(), Phase::Processing);
    EXPECT_EQ(log.history(), before + heartbeatLine(1));
    runner.releaseOne();
    settleWorker();
    timers.advance(2000);
    EXPECT_EQ(occurrences(log.history(), runLine(1)), 1);  // only the second run's line
    EXPECT_EQ(runner.maxActive(), 1);
    expectIdle();
}

TEST_F(MonitorEngineTest, NewContentFoundSurvivesAStopAndAlertsAtTheNextRoundEnd) {
    view.addPlan("A", true);
    view.addPlan("B", true);
    runner.finishAtOnce = true;
    runner.findsNew = true;
    engine->onRunClicked();
    settleWorker();
    timers.advance(2000);
    ASSERT_EQ(engine->phase(), Phase::BetweenPlans);
    engine->onRunClicked();
    EXPECT_TRUE(state.newContentFound);

    runner.findsNew = false;
    engine->onRunClicked();
    EXPECT_TRUE(state.newContentFound);
    settleWorker();
    timers.advance(2000 + 5000);
    ASSERT_TRUE(runner.waitStarted(3));
    settleWorker();
    timers.advance(2000);
    EXPECT_EQ(view.articleReloads, 1);
    EXPECT_EQ(view.planReloads, 1);
    EXPECT_EQ(surface.soundsPlayed, 1);
    EXPECT_EQ(surface.iconsShown, std::vector<TrayIconKind>{TrayIconKind::Alert});
    EXPECT_EQ(log.content(), roundLine("300") + kAlertLine + kFinished);
    EXPECT_FALSE(state.newContentFound);
    expectIdle();
}

TEST_F(MonitorEngineTest, FrequencyBelowSixtyIsRefusedOnlyForRepeatingRounds) {
    view.addPlan("A", true);
    view.autoMonitor = true;
    for (const Text& frequency : {Text(""), Text("abc"), Text("59"), Text("-5")}) {
        SCOPED_TRACE(frequency);
        messages.clear();
        view.frequency = frequency;
        engine->onRunClicked();
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, gbk("监控频率不能低于 60 秒"));
        EXPECT_EQ(messages.messages()[0].caption, gbk("信息："));
        EXPECT_EQ(view.frequency, "60");
        EXPECT_EQ(view.statusShown, 0);
        expectIdle();
    }
    EXPECT_TRUE(runner.calls().empty());
    engine->onRunClicked();  // now with "60"
    EXPECT_EQ(engine->phase(), Phase::Processing);
    engine->onRunClicked();
    expectIdle();
    ASSERT_TRUE(runner.waitFinished(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));

    // A single round takes any frequency text and shows it as typed.
    view.autoMonitor = false;
    view.frequency = "abc";
    runner.finishAtOnce = true;
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(2));
    settleWorker();
    timers.advance(2000);
    EXPECT_EQ(log.content(), roundLine("abc") + kFinished);
    expectIdle();
}

TEST_F(MonitorEngineTest, NoTickedPlanIsRefused) {
    view.addPlan("A", false);
    engine->onRunClicked();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, gbk("请勾选至少1个 监控方案"));
    expectIdle();
    EXPECT_EQ(view.statusShown, 1);
    EXPECT_EQ(view.latestPageShown, 0);
    EXPECT_TRUE(runner.calls().empty());
}

TEST_F(MonitorEngineTest, TicksChangedWhileRunningCountFromTheNextStart) {
    view.addPlan("A", true);
    view.addPlan("B", false);
    runner.finishAtOnce = true;
    engine->onRunClicked();
    view.ticked = {false, true};
    view.rows[0][3] = "A2";  // a reload meanwhile: the next run takes the row as it stands
    settleWorker();
    timers.advance(2000);
    expectIdle();
    ASSERT_EQ(runner.calls().size(), 1u);
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(2));
    EXPECT_EQ(runner.calls()[1].planName, "B");
}

TEST_F(MonitorEngineTest, AutoMonitorClickShowsTheFrequencyInput) {
    view.autoMonitor = true;
    engine->onAutoMonitorClicked();
    EXPECT_TRUE(view.frequencyVisible);
    view.autoMonitor = false;
    engine->onAutoMonitorClicked();
    EXPECT_FALSE(view.frequencyVisible);
    EXPECT_EQ(view.frequency, "300");
}

TEST_F(MonitorEngineTest, ShutdownCutsARunShortAndWaitsForIt) {
    view.addPlan("A", true);
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(1));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine->shutdown(std::chrono::seconds(3)));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(engine->phase(), Phase::Idle);
    EXPECT_EQ(timers.pendingCount(), 0u);
    EXPECT_EQ(occurrences(log.history(), runLine(1)), 0);
}

TEST_F(MonitorEngineTest, TheRoundGoesOnOnlyAfterTheWorkersPostsWereShown) {
    QueuedWindowThread windowThread;
    MonitorEngine::Options options;
    options.clock = [] { return fixedTime(); };
    options.windowThread = &windowThread;
    engine = std::make_unique<MonitorEngine>(view, view, notifier, log, messages, timers, state,
                                             runner, options);
    runner.queueLinesThrough(&windowThread);
    view.addPlan("A", true);
    runner.finishAtOnce = true;
    engine->onRunClicked();
    settleWorker();
    timers.advance(2000);
    // The worker's line, then the engine's continuation behind it.
    ASSERT_EQ(windowThread.size(), 2u);
    EXPECT_EQ(engine->phase(), Phase::Processing);
    EXPECT_EQ(log.content(), heartbeatLine(1));
    windowThread.runAll();
    EXPECT_EQ(log.history(),
              heartbeatLine(1) + runLine(1) + "<replace>" + roundLine("300") + kFinished);
    expectIdle();

    // A stop while the continuation is queued drops it; the worker's line still shows.
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(2));
    settleWorker();
    timers.advance(2000);
    ASSERT_EQ(windowThread.size(), 2u);
    engine->onRunClicked();
    const Text before = log.history();
    windowThread.runAll();
    EXPECT_EQ(log.history(), before + runLine(1));
    expectIdle();
}

// A run that writes to lumo.sdb as its first step, waiting out another program's lock for as
// long as the busy timeout allows (a stop cannot cut that wait short), then touches its log.
class LockedOutRunner : public PlanRunner {
public:
    LockedOutRunner(DatabaseConnection& database, StatusLog& log)
        : database_(database), log_(log) {}
    PlanOutcome runPlan(const MonitorPlan&, int, std::stop_token) override {
        started = true;
        database_.execute("update info set issoucang=0");
        log_.append("returned");
        returned = true;
        return PlanOutcome::abandoned();
    }
    std::atomic<bool> started = false;
    std::atomic<bool> returned = false;

private:
    DatabaseConnection& database_;
    StatusLog& log_;
};

TEST(MonitorEngineShutdown, NeverLetsGoOfAWorkerThatStillWaitsOnTheDatabase) {
    test::TempDatabase db;
    db.database().setBusyTimeout(3500);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin immediate; update rule set name=name", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);

    MonitorState state;
    RecordingStatusLog log;
    FakeMessagePresenter messages;
    ManualTimers timers;
    FakeMonitorView view;
    FakeAlertSurface surface;
    NewContentNotifier notifier{surface, log, state, [] { return fixedTime(); }};
    LockedOutRunner runner(db.database(), log);
    auto engine = std::make_unique<MonitorEngine>(view, view, notifier, log, messages, timers,
                                                  state, runner, MonitorEngine::Options{});
    view.addPlan("A", true);
    engine->onRunClicked();
    while (!runner.started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The program's end: a short wait is all the caller gets, but the thread is never let go.
    EXPECT_FALSE(engine->shutdown(std::chrono::milliseconds(100)));
    engine.reset();
    EXPECT_TRUE(runner.returned);
    EXPECT_NE(log.history().find("returned"), Text::npos);

    // (Should the thread have been let go, it must not outlive what it uses.)
    for (int i = 0; i < 500 && !runner.returned; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sqlite3_exec(other, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

// The events a front end renders: each plan's start and end, the round's end with whether it
// stored articles, and the stop by itself, in the order they happen.
TEST_F(MonitorEngineTest, ARoundReportsItsEventsInOrder) {
    view.addPlan("A", true);
    view.addPlan("B", false);
    view.addPlan("C", true);
    runner.finishAtOnce = true;
    runner.findsNew = true;
    engine->onRunClicked();
    ASSERT_TRUE(runner.waitStarted(1));
    settleWorker();
    timers.advance(2000 + 5000);
    ASSERT_TRUE(runner.waitStarted(2));
    settleWorker();
    timers.advance(2000);
    using Events = std::vector<std::string>;
    EXPECT_EQ(view.events, (Events{"starting", "started", "plan:1/2:A", "finished:1", "plan:2/2:C",
                                   "finished:2", "round:new", "stopped"}));
    // The alert comes after the round's event, so the lists are fresh when the user looks.
    EXPECT_EQ(surface.soundsPlayed, 1);
    expectIdle();
}

// Each plan's end carries what its run returned on the worker, in the order the plans ran.
TEST_F(MonitorEngineTest, ARoundsPlanEndsCarryEachPlansOutcomeInOrder) {
    for (const char* name : {"A", "B", "C"}) view.addPlan(name, true);
    runner.finishAtOnce = true;
    const Status timedOut =
        Status::failure(Status::Kind::TimedOut, gbk("超时：1 秒内没有收到任何数据"), 28);
    runner.scriptOutcomes(
        {PlanOutcome::stored(3), PlanOutcome::failed(timedOut, 1), PlanOutcome::nothingNew()});
    engine->onRunClicked();
    for (int plan = 1; plan <= 3; ++plan) {
        ASSERT_TRUE(runner.waitStarted(plan));
        settleWorker();
        timers.advance(2000 + 5000);
    }
    using Events = std::vector<std::string>;
    EXPECT_EQ(view.events,
              (Events{"starting", "started", "plan:1/3:A", "finished:1", "plan:2/3:B", "finished:2",
                      "plan:3/3:C", "finished:3", "round:nothing", "stopped"}));
    using Kind = PlanOutcome::Kind;
    ASSERT_EQ(view.outcomes.size(), 3u);
    EXPECT_EQ(view.outcomes[0].kind, Kind::NewArticles);
    EXPECT_EQ(view.outcomes[0].newArticles, 3);
    EXPECT_EQ(view.outcomes[1].kind, Kind::Failed);
    EXPECT_EQ(view.outcomes[1].newArticles, 1);
    EXPECT_EQ(view.outcomes[1].status.kind(), Status::Kind::TimedOut);
    EXPECT_EQ(view.outcomes[1].status.code(), 28);
    EXPECT_EQ(view.outcomes[1].status.reason(), timedOut.reason());
    EXPECT_EQ(view.outcomes[2].kind, Kind::NothingNew);
    EXPECT_TRUE(view.outcomes[2].status.ok());
    expectIdle();
}

TEST_F(MonitorEngineTest, RepeatedRoundsAndAStopMidPlanReportNoMoreThanHappened) {
    view.addPlan("A", true);
    view.autoMonitor = true;
    engine->onAutoMonitorClicked();
    view.frequency = "30";
    engine->onRunClicked();  // refused: too frequent
    view.frequency = "60";
    view.ticked = {false};
    engine->onRunClicked();  // refused: no plan
    view.ticked = {true};
    runner.finishAtOnce = true;
    engine->onRunClicked();
    settleWorker();
    timers.advance(2000);  // the round ends with nothing new
    timers.advance(60000 + 5000);
    ASSERT_TRUE(runner.waitStarted(2));
    engine->onRunClicked();  // a stop while the second round's plan runs
    timers.advance(100000);
    using Events = std::vector<std::string>;
    EXPECT_EQ(view.events, (Events{"repeat:1", "refused:frequency", "starting", "refused:noplan",
                                   "starting", "started", "plan:1/1:A", "finished:1",
                                   "round:nothing", "plan:1/1:A", "stopped"}));
    EXPECT_EQ(view.articleReloads + view.planReloads, 0);
}

// A front end may stop monitoring while it shows a plan's start: no worker starts for it.
TEST_F(MonitorEngineTest, AStopWhileAPlanStartIsShownStartsNoRun) {
    view.addPlan("A", true);
    view.onPlanStarted = [&] { engine->onRunClicked(); };
    engine->onRunClicked();
    timers.advance(10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(runner.calls().empty());
    EXPECT_FALSE(state.workerBusy);
    EXPECT_EQ(log.history(), "");
    using Events = std::vector<std::string>;
    EXPECT_EQ(view.events, (Events{"starting", "started", "plan:1/1:A", "stopped"}));
    expectIdle();
}

TEST(MonitorEngineRoundWait, IsTheFrequencyInMillisecondsClampedToThirtyTwoBits) {
    const std::chrono::milliseconds second(1000);
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("60", second), 60000);
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("2147483", second), 2147483000);
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("2147484", second),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("99999999999", second),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("-5", second), 0);
    EXPECT_EQ(MonitorEngine::roundWaitMilliseconds("abc", second), 0);
}

}  // namespace
}  // namespace lumo
