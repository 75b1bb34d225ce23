#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/GbkCodec.h"
#include "base/StatusLog.h"
#include "base/TextOps.h"
#include "base/Timers.h"
#include "base/WindowThread.h"
#include "monitor/AlertSurface.h"
#include "monitor/MonitorEvents.h"
#include "monitor/MonitorInputs.h"
#include "monitor/PlanRunner.h"

namespace lumo::test {

// Timers on a hand-driven clock: advance() fires every due timer in time order.
class ManualTimers : public Timers {
public:
    Id startOnce(std::int64_t milliseconds, std::function<void()> fire) override {
        const Id id = nextId_++;
        pending_[id] = Pending{now_ + std::max<std::int64_t>(milliseconds, 0), std::move(fire)};
        return id;
    }
    void cancel(Id id) override { pending_.erase(id); }

    // Moves the clock forward by `ms`, firing what falls due on the way (timers started by a
    // firing timer included).
    void advance(std::int64_t ms) {
        const std::int64_t target = now_ + ms;
        while (true) {
            auto next = pending_.end();
            for (auto it = pending_.begin(); it != pending_.end(); ++it) {
                if (it->second.due <= target &&
                    (next == pending_.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == pending_.end()) break;
            now_ = next->second.due;
            auto fire = std::move(next->second.fire);
            pending_.erase(next);
            fire();
        }
        now_ = target;
    }

    std::int64_t now() const { return now_; }
    std::size_t pendingCount() const { return pending_.size(); }

private:
    struct Pending {
        std::int64_t due;
        std::function<void()> fire;
    };
    std::int64_t now_ = 0;
    Id nextId_ = 1;
    std::map<Id, Pending> pending_;
};

// A status log that keeps every call, so the lines of a round can be checked after the round
// line replaced them. Thread-safe.
class RecordingStatusLog : public StatusLog {
public:
    void append(const Text& piece) override {
        std::lock_guard lock(mutex_);
        content_ += piece;
        history_ += piece;
    }
    void replace(const Text& content) override {
        std::lock_guard lock(mutex_);
        content_ = content;
        history_ += "<replace>" + content;
    }
    Text content() const {
        std::lock_guard lock(mutex_);
        return content_;
    }
    // Everything appended, with "<replace>" in front of each replacement.
    Text history() const {
        std::lock_guard lock(mutex_);
        return history_;
    }
    std::size_t historySize() const {
        std::lock_guard lock(mutex_);
        return history_.size();
    }

private:
    mutable std::mutex mutex_;
    Text content_;
    Text history_;
};

// The window's monitoring inputs and the plan list, as plain values; the rounds' events change
// them as the window's rendering does, and each is also kept by name in `events`.
class FakeMonitorView : public MonitorInputs, public MonitorEvents {
public:
    Text frequency = "300";
    bool autoMonitor = false;
    bool frequencyVisible = false;
    bool inputsEnabled = true;
    Text caption = gbk("开 始");
    std::vector<TextList> rows;
    std::vector<bool> ticked;
    int latestPageShown = 0;
    int statusShown = 0;
    int articleReloads = 0;
    int planReloads = 0;
    std::function<void()> onReloadArticles;
    std::function<void()> onPlanStarted;
    // Every event so far: "refused:frequency", "refused:noplan", "starting", "started",
    // "plan:<n>/<count>:
    // <name>", "finished:<n>", "round:new", "round:nothing", "stopped", "repeat:<0|1>".
    std::vector<std::string> events;
    // The outcome of each "finished:<n>", in order.
    std::vector<PlanOutcome> outcomes;

    Text frequencyText() const override { return frequency; }
    bool autoMonitorChecked() const override { return autoMonitor; }
    std::vector<int> checkedPlanRows() const override {
        std::vector<int> out;
        for (std::size_t r = 0; r < ticked.size(); ++r) {
            if (ticked[r]) out.push_back(static_cast<int>(r));
        }
        return out;
    }
    TextList planRowTexts(int row) const override {
        if (row < 0 || row >= static_cast<int>(rows.size())) return {};
        return rows[static_cast<std::size_t>(row)];
    }

    void startRefused(StartRefusal why) override {
        if (why == StartRefusal::FrequencyTooLow) {
            events.push_back("refused:frequency");
            frequency = "60";
            return;
        }
        events.push_back("refused:noplan");
        inputsEnabled = true;
    }
    void monitoringStarting() override {
        events.push_back("starting");
        ++statusShown;
        inputsEnabled = false;
    }
    void monitoringStarted() override {
        events.push_back("started");
        caption = gbk("停 止");
        ++latestPageShown;
    }
    void planStarted(int position, int count, const MonitorPlan& plan) override {
        events.push_back("plan:" + std::to_string(position) + "/" + std::to_string(count) + ":" +
                         plan[MonitorPlan::name]);
        if (onPlanStarted) onPlanStarted();
    }
    void planFinished(int position, const PlanOutcome& outcome) override {
        events.push_back("finished:" + std::to_string(position));
        outcomes.push_back(outcome);
    }
    void roundEnded(bool newArticles) override {
        events.push_back(newArticles ? "round:new" : "round:nothing");
        if (!newArticles) return;
        ++articleReloads;
        if (onReloadArticles) onReloadArticles();
        if (inputsEnabled) return;  // the reload stopped monitoring
        ++planReloads;
    }
    void monitoringStopped() override {
        events.push_back("stopped");
        ++statusShown;
        caption = gbk("开 始");
        inputsEnabled = true;
    }
    void repeatChanged(bool repeat) override {
        events.push_back(repeat ? "repeat:1" : "repeat:0");
        frequencyVisible = repeat;
    }

    // Adds a plan row whose name (column 3) is `name`, ticked or not.
    void addPlan(const Text& name, bool tick) {
        TextList row(20);
        row[0] = textOfInteger(static_cast<long long>(rows.size()) + 1);
        row[3] = name;
        rows.push_back(row);
        ticked.push_back(tick);
    }
};

class FakeAlertSurface : public AlertSurface {
public:
    bool sound = true;
    bool icon = true;
    bool desktop = true;
    int soundsPlayed = 0;
    std::vector<TrayIconKind> iconsShown;

    bool soundAlertEnabled() const override { return sound; }
    bool desktopAlertEnabled() const override { return desktop; }
    bool iconAlertEnabled() const override { return icon; }
    void playAlertSound() override { ++soundsPlayed; }
    void showTrayIcon(TrayIconKind kind) override { iconsShown.push_back(kind); }
};

// Work posted to the window thread, queued until the test runs it. Thread-safe.
class QueuedWindowThread : public WindowThread {
public:
    void post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(work));
    }
    std::size_t size() const {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }
    // Runs what is queued now, in order of posting.
    void runAll() {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(mutex_);
            work.swap(queue_);
        }
        for (auto& w : work) w();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::function<void()>> queue_;
};

// A monitoring run the test controls: each run waits until the test lets it finish (or until
// its stop token is requested), then, unless monitoring was stopped meanwhile, logs its closing
// line "\r\n任务<n>END" and sets newContentFound when told to. Given a window thread, the line
// is queued to it, as the product's log box queues a worker's lines. It returns the outcome
// scripted for its call (the n-th run the n-th of `outcomes`), else one new article when told to
// find new ones, else nothing new; Abandoned when stopped. Thread-safe.
class ScriptedRunner : public PlanRunner {
public:
    ScriptedRunner(MonitorState& state, StatusLog& log) : state_(state), log_(log) {}

    struct Call {
        Text planName;
        int position;
    };

    std::atomic<bool> finishAtOnce = false;
    std::atomic<bool> findsNew = false;
    // The run keeps going after a stop until released (a fetch that ignores the stop).
    std::atomic<bool> ignoreStop = false;

    // Set before the first run.
    void queueLinesThrough(WindowThread* windowThread) { windowThread_ = windowThread; }
    void scriptOutcomes(std::vector<PlanOutcome> outcomes) {
        std::lock_guard lock(mutex_);
        outcomes_ = std::move(outcomes);
    }

    PlanOutcome runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override {
        const std::uint64_t generation = state_.stopGeneration();
        std::unique_lock lock(mutex_);
        calls_.push_back({plan[MonitorPlan::name], position});
        ++active_;
        maxActive_ = std::max(maxActive_, active_);
        changed_.notify_all();
        const int ticket = static_cast<int>(calls_.size());
        const auto letGo = [&] { return finishAtOnce || released_ >= ticket; };
        if (ignoreStop) {
            changed_.wait(lock, letGo);
        } else {
            changed_.wait(lock, stop, letGo);
        }
        const bool go = !state_.stoppedSince(generation);
        const bool found = findsNew;
        PlanOutcome outcome = !go ? PlanOutcome::abandoned() : PlanOutcome::stored(found ? 1 : 0);
        if (go && ticket <= static_cast<int>(outcomes_.size())) {
            outcome = outcomes_[static_cast<std::size_t>(ticket - 1)];
        }
        lock.unlock();
        if (go) {
            if (found) state_.newContentFound = true;
            const Text line = gbk("\r\n任务") + textOfInteger(position) + "END";
            if (windowThread_ != nullptr) {
                windowThread_->post([&log = log_, line] { log.append(line); });
            } else {
                log_.append(line);
            }
        }
        lock.lock();
        --active_;
        ++finished_;
        changed_.notify_all();
        return outcome;
    }

    // Lets the oldest waiting run finish.
    void releaseOne() {
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }

    // Blocks until `count` runs have begun / returned (5 s at most).
    bool waitStarted(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return static_cast<int>(calls_.size()) >= count; });
    }
    bool waitFinished(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return finished_ >= count; });
    }

    std::vector<Call> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    int maxActive() const {
        std::lock_guard lock(mutex_);
        return maxActive_;
    }

private:
    MonitorState& state_;
    StatusLog& log_;
    WindowThread* windowThread_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::vector<Call> calls_;
    std::vector<PlanOutcome> outcomes_;
    int released_ = 0;
    int active_ = 0;
    int maxActive_ = 0;
    int finished_ = 0;
};

}  // namespace lumo::test
