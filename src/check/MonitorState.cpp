#include "check/MonitorState.h"

namespace lumo {

void MonitorState::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested = true;
        ++generation_;
    }
    wake_.notify_all();
}

void MonitorState::clearStop() {
    stopRequested = false;
}

std::uint64_t MonitorState::stopGeneration() const {
    return generation_.load();
}

bool MonitorState::stoppedSince(std::uint64_t generation) const {
    return stopRequested.load() || generation_.load() != generation;
}

bool MonitorState::waitUnlessStopped(std::chrono::milliseconds duration, std::uint64_t generation) {
    if (duration.count() <= 0) return stoppedSince(generation);
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, duration, [&] { return stoppedSince(generation); });
}

}  // namespace lumo
