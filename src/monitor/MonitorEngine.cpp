#include "monitor/MonitorEngine.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo {
namespace {

// The smallest frequency, in seconds, that repeating rounds accept.
constexpr int kSmallestFrequency = 60;

const Text& tooFrequentText() {
    static const Text text = gbk("监控频率不能低于 60 秒");
    return text;
}
const Text& noPlanText() {
    static const Text text = gbk("请勾选至少1个 监控方案");
    return text;
}
const Text& heartbeatStart() {
    static const Text text = gbk("\r\n开始访问任务");
    return text;
}
const Text& heartbeatEnd() {
    static const Text text = gbk("的网页----");
    return text;
}
const Text& roundStart() {
    static const Text text = gbk("已执行一轮，");
    return text;
}
const Text& roundEnd() {
    static const Text text = gbk("秒后继续下一轮----");
    return text;
}
const Text& finishedText() {
    static const Text text = gbk("\r\n执行完毕！");
    return text;
}

}  // namespace

MonitorEngine::MonitorEngine(MonitorInputs& inputs, MonitorEvents& events,
                             NewContentNotifier& notifier, StatusLog& log,
                             MessagePresenter& messages, Timers& timers, MonitorState& state,
                             PlanRunner& runner, Options options)
    : inputs_(inputs),
      events_(events),
      notifier_(notifier),
      log_(log),
      messages_(messages),
      timers_(timers),
      state_(state),
      runner_(runner),
      options_(std::move(options)) {}

MonitorEngine::~MonitorEngine() {
    // A worker still running is waited for when worker_ goes, before anything else of ours.
    shutdown(std::chrono::milliseconds(0));
}

std::int64_t MonitorEngine::roundWaitMilliseconds(const Text& frequencyText,
                                                  std::chrono::milliseconds perSecond) {
    const std::int64_t wait =
        static_cast<std::int64_t>(integerOfText(frequencyText)) * perSecond.count();
    return std::clamp<std::int64_t>(wait, 0, std::numeric_limits<std::int32_t>::max());
}

Text MonitorEngine::now() const {
    return nowText(options_.clock);
}

void MonitorEngine::onAutoMonitorClicked() {
    events_.repeatChanged(inputs_.autoMonitorChecked());
}

void MonitorEngine::onRunClicked() {
    const bool starting = phase_ == Phase::Idle;
    // The frequency is checked only for a start: the inputs are locked while monitoring runs,
    // and a stop must never be refused.
    if (starting && inputs_.autoMonitorChecked() &&
        integerOfText(inputs_.frequencyText()) < kSmallestFrequency) {
        messages_.showMessage(tooFrequentText(), kDefaultCaption);
        events_.startRefused(StartRefusal::FrequencyTooLow);
        return;
    }
    state_.currentPlanPos = 1;
    if (starting) {
        start();
    } else {
        stop();
    }
}

void MonitorEngine::collectCheckedRows() {
    // Taken once per start: ticks changed while monitoring runs count from the next start.
    state_.checkedRows = inputs_.checkedPlanRows();
    state_.checkedCount = static_cast<int>(state_.checkedRows.size());
}

void MonitorEngine::start() {
    collectCheckedRows();
    events_.monitoringStarting();
    if (state_.checkedCount < 1) {
        messages_.showMessage(noPlanText(), kDefaultCaption);
        events_.startRefused(StartRefusal::NoPlanTicked);
        return;
    }
    state_.clearStop();
    notifier_.discardRoundArticles();
    ++loop_;
    repeat_ = inputs_.autoMonitorChecked();
    // Running from here on: a click inside an event is the stop.
    phase_ = Phase::Processing;
    const std::uint64_t loop = loop_;
    events_.monitoringStarted();
    if (loop != loop_) return;  // stopped from inside the event
    launchPlan();
}

void MonitorEngine::stop() {
    state_.currentPlanPos = 1;
    abandonLoop();
    if (worker_.finished()) worker_.release();
    events_.monitoringStopped();
}

void MonitorEngine::abandonLoop() {
    cancelWait();
    phase_ = Phase::Idle;
    ++loop_;
    state_.requestStop();
    // The run under way is abandoned: it writes nothing more, and its fetch is cut short.
    worker_.requestStop();
    state_.workerBusy = false;
}

void MonitorEngine::launchPlan() {
    if (worker_.exists()) {
        // Never two runs at once: the thread of a stopped run may still be ending its fetch.
        if (!worker_.finished()) {
            wait(Phase::WaitingForPreviousWorker, options_.timings.previousWorkerPoll,
                 &MonitorEngine::launchPlan);
            return;
        }
        worker_.release();
    }
    const int position = state_.currentPlanPos;
    const int row = state_.checkedRows[static_cast<std::size_t>(position - 1)];
    // The worker gets the row as it stands now; a reload meanwhile does not reach it.
    const MonitorPlan plan = MonitorPlan::fromRow(inputs_.planRowTexts(row));
    const std::uint64_t loop = loop_;
    phase_ = Phase::Processing;
    events_.planStarted(position, state_.checkedCount, plan);
    if (loop != loop_) return;  // stopped from inside the event
    state_.workerBusy = true;
    const std::uint64_t launch = ++launch_;
    std::function<void()> ended;
    if (options_.noticeEndAtOnce && options_.windowThread != nullptr) {
        ended = [this, alive = std::weak_ptr<int>(life_), launch, loop = loop_,
                 windowThread = options_.windowThread] {
            windowThread->post([this, alive, launch, loop] {
                if (alive.expired() || loop != loop_) return;
                workerEnded(launch);
            });
        };
    }
    const bool started = worker_.start(
        [&runner = runner_, &state = state_, plan, position](std::stop_token stop) {
            PlanOutcome outcome = runner.runPlan(plan, position, std::move(stop));
            // However the run ended, its worker is no longer busy.
            state.workerBusy = false;
            return outcome;
        },
        std::move(ended));
    if (!started) state_.workerBusy = false;
    launchFailed_ = !started;
    heartbeat();
}

void MonitorEngine::heartbeat() {
    log_.append(heartbeatStart() + textOfInteger(state_.currentPlanPos) + heartbeatEnd() + now());
    wait(Phase::Processing, options_.timings.heartbeat, &MonitorEngine::afterHeartbeat);
}

void MonitorEngine::workerEnded(std::uint64_t launch) {
    // Only while that worker's plan is still being looked after.
    if (launch != launch_ || phase_ != Phase::Processing || !waiting_) return;
    cancelWait();
    afterHeartbeat();
}

void MonitorEngine::afterHeartbeat() {
    // A run may clear workerBusy before its worker is done (what runs after the plan's own run,
    // such as the commands for its new articles, belongs to the plan too).
    if (state_.workerBusy || !workerFinished()) {
        heartbeat();
        return;
    }
    if (options_.windowThread == nullptr) {
        planFinished();
        return;
    }
    // Behind the worker's last posts in the window thread's queue.
    const std::weak_ptr<int> alive = life_;
    const std::uint64_t loop = loop_;
    options_.windowThread->post([this, alive, loop] {
        if (alive.expired() || loop != loop_ || !isRunning()) return;
        planFinished();
    });
}

PlanOutcome MonitorEngine::finishedOutcome() const {
    if (launchFailed_) {
        return PlanOutcome::failed(
            Status::failure(Status::Kind::Failed, gbk("无法启动检查方案的线程")));
    }
    // The worker has returned (planFinished comes only then): its outcome was handed over under
    // the worker's lock.
    return worker_.outcome();
}

void MonitorEngine::planFinished() {
    const std::uint64_t loop = loop_;
    events_.planFinished(state_.currentPlanPos, finishedOutcome());
    if (loop != loop_) return;  // stopped from inside the event
    state_.currentPlanPos = state_.currentPlanPos + 1;
    if (state_.currentPlanPos > state_.checkedCount) {
        endRound();
        return;
    }
    wait(Phase::BetweenPlans, options_.timings.gap, &MonitorEngine::launchPlan);
}

void MonitorEngine::endRound() {
    state_.currentPlanPos = 1;
    log_.replace(roundStart() + inputs_.frequencyText() + roundEnd() + now());
    // Each step may hand control to the front end; a stop there ends this round at once.
    const std::uint64_t loop = loop_;
    const bool newArticles = state_.newContentFound;
    events_.roundEnded(newArticles);
    if (loop != loop_) return;
    if (newArticles) {
        notifier_.notifyNewContent(true);
        if (loop != loop_) return;
    }
    if (!repeat_) {
        log_.append(finishedText());
        stop();
        return;
    }
    const std::int64_t roundWait =
        roundWaitMilliseconds(inputs_.frequencyText(), options_.timings.perSecondOfFrequency);
    phase_ = Phase::BetweenRounds;
    waiting_ = true;
    timer_ = timers_.startOnce(roundWait, [this] {
        waiting_ = false;
        wait(Phase::BetweenRounds, options_.timings.gap, &MonitorEngine::launchPlan);
    });
}

void MonitorEngine::wait(Phase phase, std::chrono::milliseconds duration,
                         void (MonitorEngine::*next)()) {
    phase_ = phase;
    waiting_ = true;
    timer_ = timers_.startOnce(duration.count(), [this, next] {
        waiting_ = false;
        (this->*next)();
    });
}

void MonitorEngine::cancelWait() {
    if (waiting_) timers_.cancel(timer_);
    waiting_ = false;
}

bool MonitorEngine::shutdown(std::chrono::milliseconds maxWait) {
    if (isRunning()) abandonLoop();
    if (!worker_.exists()) return true;
    worker_.requestStop();
    const bool ended = worker_.waitFor(maxWait);
    if (ended) worker_.release();
    return ended;
}

}  // namespace lumo
