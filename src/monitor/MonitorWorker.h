#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

#include "monitor/PlanOutcome.h"

namespace lumo {

// The thread that processes one plan of a monitoring round. The rounds engine owns one at a time
// and never blocks on it while monitoring runs: it asks finished() and releases the thread once
// it has ended.
//
// The thread is never detached: whatever its work touches must outlive it, so the object's
// destructor asks a running thread to stop and waits for it. A run is bounded (its fetch is cut
// short by the stop, its statements by the database's busy timeout), so the wait is too.
//
// Window thread only (the work itself runs on the new thread).
class MonitorWorker {
public:
    MonitorWorker() = default;
    // Asks a running thread to stop and joins it.
    ~MonitorWorker();
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    // Starts `work` on a new thread, handing it a stop token; once the work has returned (its
    // outcome kept) and finished() says so, `ended` (when given) runs on that thread. Returns
    // false when the thread could not be created. A previous thread must have been released.
    bool start(std::function<PlanOutcome(std::stop_token)> work, std::function<void()> ended = {});

    // A thread was started and not released yet.
    bool exists() const { return thread_.joinable(); }

    // The thread's work has returned (or no thread exists).
    bool finished() const;

    // What the work returned, once finished() says so: it is handed over under the same lock, so
    // it is whole when read. Before that (or without a thread) an Abandoned outcome.
    PlanOutcome outcome() const;

    // Asks the work to stop: cuts a page fetch under way short.
    void requestStop();

    // Waits at most `timeout` for the work to return; true when it has.
    bool waitFor(std::chrono::milliseconds timeout);

    // Joins a thread whose work has returned. A thread still working is kept (see exists()).
    void release();

private:
    struct Completion;

    std::thread thread_;
    std::stop_source stop_{std::nostopstate};
    std::shared_ptr<Completion> completion_;
};

}  // namespace lumo
