#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

namespace lumo {

// The thread that processes one plan of a monitoring round. The rounds engine owns one at a time
// and never blocks on it: it asks finished() and releases the thread once it has ended.
//
// Window thread only (the work itself runs on the new thread). A thread still running when the
// object is destroyed is detached; it keeps only its own completion record alive.
class MonitorWorker {
public:
    MonitorWorker() = default;
    ~MonitorWorker();
    MonitorWorker(const MonitorWorker&) = delete;
    MonitorWorker& operator=(const MonitorWorker&) = delete;

    // Starts `work` on a new thread, handing it a stop token. Returns false when the thread could
    // not be created. A previous thread must have been released.
    bool start(std::function<void(std::stop_token)> work);

    // A thread was started and not released yet.
    bool exists() const { return thread_.joinable(); }

    // The thread's work has returned (or no thread exists).
    bool finished() const;

    // Asks the work to stop: cuts a page fetch under way short.
    void requestStop();

    // Waits at most `timeout` for the work to return; true when it has.
    bool waitFor(std::chrono::milliseconds timeout);

    // Joins a finished thread, detaches one that is still running.
    void release();

private:
    struct Completion;

    std::thread thread_;
    std::stop_source stop_{std::nostopstate};
    std::shared_ptr<Completion> completion_;
};

}  // namespace lumo
