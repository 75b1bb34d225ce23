#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/MessagePresenter.h"
#include "base/NowText.h"
#include "base/StatusLog.h"
#include "base/Text.h"
#include "base/Timers.h"
#include "base/WindowThread.h"
#include "check/MonitorState.h"
#include "monitor/MonitorEvents.h"
#include "monitor/MonitorInputs.h"
#include "monitor/MonitorTimings.h"
#include "monitor/MonitorWorker.h"
#include "monitor/NewContentNotifier.h"
#include "monitor/PlanRunner.h"

namespace lumo {

// Starts and stops monitoring and drives its rounds. A click on `运行` starts monitoring of the
// plans the inputs take part (or stops it); in one round every ticked plan is processed once, one
// after the other, each by a PlanRunner on a worker thread of its own, never two at once. While a
// plan runs the engine looks at workerBusy every heartbeat and logs
// "\r\n开始访问任务<n>的网页----<time>"; the plan is over once workerBusy is down and the worker's
// thread has returned (whatever the runner does after the plan's own run belongs to the plan).
// Between plans it waits the gap. At a round's end the log is replaced by the round line, the front
// end hears of it (and reloads its lists when new articles were stored), the user is alerted of new
// articles, and then either the frequency plus the gap pass before the next round (rounds repeat
// when the inputs said so at the start) or "\r\n执行完毕！" is logged and monitoring stops by
// itself.
//
// What happens is reported to the front end as MonitorEvents, in order; the engine reads the
// front end only through MonitorInputs. A plan's end carries the outcome its runner returned on
// the worker thread, read on the window thread once the worker has returned. The engine never
// blocks: every wait is a one-shot timer, so the window stays usable and a stop click takes effect
// at once: monitoringStopped, and no further line, event or alert. A stopped plan run is abandoned
// (it writes nothing more); a new start waits, without blocking, until that run's thread has ended
// before it starts a worker of its own.
//
// workerBusy is raised when a worker starts and lowered when its work has returned, and at once
// when monitoring stops (the abandoned run no longer counts).
//
// Window thread only. The runner runs on the worker thread.
class MonitorEngine {
public:
    enum class Phase {
        Idle,                      // not monitoring
        WaitingForPreviousWorker,  // started, the worker of a stopped run is still ending
        Processing,                // a worker processes the plan at currentPlanPos
        BetweenPlans,              // the gap after a plan
        BetweenRounds,             // the frequency wait and the gap after it
    };

    struct Options {
        MonitorTimings timings;
        Clock clock;  // times in log lines; empty for the system clock
        // When set, a finished plan's round goes on only after what its worker posted to the
        // window thread (its log lines) has been shown, so the round line never precedes them.
        WindowThread* windowThread = nullptr;
        // With a windowThread: a plan's end is noticed as soon as its worker has returned,
        // instead of at the next look at workerBusy (the heartbeat lines stay as they are).
        bool noticeEndAtOnce = false;
    };

    MonitorEngine(MonitorInputs& inputs, MonitorEvents& events, NewContentNotifier& notifier,
                  StatusLog& log, MessagePresenter& messages, Timers& timers, MonitorState& state,
                  PlanRunner& runner, Options options);
    // Stops monitoring and waits until a running worker has ended (see shutdown()).
    ~MonitorEngine();
    MonitorEngine(const MonitorEngine&) = delete;
    MonitorEngine& operator=(const MonitorEngine&) = delete;

    // The click on `运行`: starts monitoring when idle, stops it otherwise.
    void onRunClicked();

    // The click on `自动监控框`: reports whether rounds would repeat (repeatChanged).
    void onAutoMonitorClicked();

    bool isRunning() const { return phase_ != Phase::Idle; }
    Phase phase() const { return phase_; }

    // True when no worker thread is running any more (a stopped run may still be unwinding for
    // a moment after a stop; it writes nothing, but its thread lives until it returns).
    bool workerFinished() const { return !worker_.exists() || worker_.finished(); }

    // For the program's end: stops monitoring without touching the window, cuts the worker's
    // run short and waits at most `maxWait` for it to end. Returns true when no worker is left
    // running. A worker that is still running is kept, never let go: the destructor waits for
    // it, so nothing it uses is torn down under it.
    bool shutdown(std::chrono::milliseconds maxWait);

    // The round wait for a frequency text: its integer times `perSecond`, clamped to what a
    // 32-bit signed millisecond count holds (and to 0 below).
    static std::int64_t roundWaitMilliseconds(const Text& frequencyText,
                                              std::chrono::milliseconds perSecond);

private:
    void collectCheckedRows();
    void start();
    void stop();
    // Ends the loop under way: no timer, no further step, the run abandoned and workerBusy down.
    void abandonLoop();
    void launchPlan();
    void heartbeat();
    void afterHeartbeat();
    void workerEnded(std::uint64_t launch);
    void planFinished();
    // How the plan that just ended went: its worker's outcome, or Failed when no worker started.
    PlanOutcome finishedOutcome() const;
    void endRound();
    void wait(Phase phase, std::chrono::milliseconds duration, void (MonitorEngine::*next)());
    void cancelWait();
    Text now() const;

    MonitorInputs& inputs_;
    MonitorEvents& events_;
    NewContentNotifier& notifier_;
    StatusLog& log_;
    MessagePresenter& messages_;
    Timers& timers_;
    MonitorState& state_;
    PlanRunner& runner_;
    Options options_;

    Phase phase_ = Phase::Idle;
    bool repeat_ = false;
    bool waiting_ = false;
    Timers::Id timer_ = 0;
    // Counts starts and stops, so work posted for an earlier loop is recognised and dropped.
    std::uint64_t loop_ = 0;
    // Counts workers started, so the news of an earlier one's end is recognised and dropped.
    std::uint64_t launch_ = 0;
    // The worker of the plan under way could not be started.
    bool launchFailed_ = false;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    MonitorWorker worker_;
};

}  // namespace lumo
