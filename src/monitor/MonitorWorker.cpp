#include "monitor/MonitorWorker.h"

#include <condition_variable>
#include <mutex>
#include <system_error>

namespace lumo {

struct MonitorWorker::Completion {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    PlanOutcome outcome = PlanOutcome::abandoned();
};

MonitorWorker::~MonitorWorker() {
    requestStop();
    if (thread_.joinable()) thread_.join();
}

bool MonitorWorker::start(std::function<PlanOutcome(std::stop_token)> work,
                          std::function<void()> ended) {
    if (exists()) return false;
    auto completion = std::make_shared<Completion>();
    std::stop_source stop;
    try {
        thread_ = std::thread([completion, token = stop.get_token(), work = std::move(work),
                               ended = std::move(ended)] {
            PlanOutcome outcome = work(token);
            {
                std::lock_guard lock(completion->mutex);
                completion->outcome = std::move(outcome);
                completion->done = true;
            }
            completion->changed.notify_all();
            if (ended) ended();
        });
    } catch (const std::system_error&) {
        return false;
    }
    completion_ = std::move(completion);
    stop_ = std::move(stop);
    return true;
}

bool MonitorWorker::finished() const {
    if (!completion_) return true;
    std::lock_guard lock(completion_->mutex);
    return completion_->done;
}

PlanOutcome MonitorWorker::outcome() const {
    if (!completion_) return PlanOutcome::abandoned();
    std::lock_guard lock(completion_->mutex);
    return completion_->done ? completion_->outcome : PlanOutcome::abandoned();
}

void MonitorWorker::requestStop() {
    if (stop_.stop_possible()) stop_.request_stop();
}

bool MonitorWorker::waitFor(std::chrono::milliseconds timeout) {
    if (!completion_) return true;
    std::unique_lock lock(completion_->mutex);
    return completion_->changed.wait_for(lock, timeout, [&] { return completion_->done; });
}

void MonitorWorker::release() {
    if (!finished()) return;
    // The work has returned; only the thread's last instructions remain.
    if (thread_.joinable()) thread_.join();
    completion_.reset();
    stop_ = std::stop_source(std::nostopstate);
}

}  // namespace lumo
