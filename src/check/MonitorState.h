#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "base/Text.h"

namespace lumo {

// The process-wide monitoring state, created once at start-up and shared by the window thread,
// the rounds engine and the monitoring worker.
//
// Thread-safety:
// - checkedRows is written on the window thread only when monitoring starts, while no worker runs,
//   and is read on that thread; workers receive their plan as a copy and never read it.
// - the counters and flags are atomics and may be read and written from any thread.
// - requestStop() may be called from any thread; it wakes every waitUnlessStopped() at once.
//
// Stopping: requestStop() raises stopRequested and also moves a stop generation forward. A run
// remembers the generation when it begins and counts any later stop as its own, so a run that
// was abandoned stays abandoned even after monitoring is started again and stopRequested drops.
class MonitorState {
public:
    // 0-based plan-list rows of the plans checked when monitoring was last started.
    std::vector<int> checkedRows;
    // Number of entries of checkedRows.
    std::atomic<int> checkedCount{0};
    // 1-based position in checkedRows of the plan being processed.
    std::atomic<int> currentPlanPos{0};
    // A monitoring run of the current round recorded at least one new article.
    std::atomic<bool> newContentFound{false};
    // A worker is processing a plan; set before the worker starts, cleared by its run.
    std::atomic<bool> workerBusy{false};
    // The user asked monitoring to stop. Set it through requestStop().
    std::atomic<bool> stopRequested{false};

    // Raises stopRequested, starts a new stop generation and wakes pauses of running work.
    void requestStop();

    // Lowers stopRequested for a new start of monitoring. Runs abandoned before stay abandoned.
    void clearStop();

    // The current stop generation; a run takes it when it begins.
    std::uint64_t stopGeneration() const;

    // True when a stop was requested now, or at any time after `generation` was taken.
    bool stoppedSince(std::uint64_t generation) const;

    // Sleeps for `duration` unless a stop arrives; returns true when it ended because of a stop
    // (stoppedSince(generation)), false when the time passed.
    bool waitUnlessStopped(std::chrono::milliseconds duration, std::uint64_t generation);

private:
    std::atomic<std::uint64_t> generation_{0};
    std::mutex mutex_;
    std::condition_variable wake_;
};

}  // namespace lumo
