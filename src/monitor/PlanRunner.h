#pragma once

#include <stop_token>

#include "check/MonitorPlan.h"
#include "monitor/PlanOutcome.h"

namespace lumo {

// One monitoring run of one plan, performed on a monitoring worker thread: the product runs
// MonitorRun, tests substitute their own.
//
// The rounds engine clears MonitorState::workerBusy once runPlan has returned (a run may clear it
// earlier, as MonitorRun does as its last step). A run abandoned by a stop stores nothing more:
// stopped before its commit it writes nothing, stopped after it only logs what it stored.
// `stop` is requested when monitoring stops, to cut a page fetch under way short.
class PlanRunner {
public:
    virtual ~PlanRunner() = default;

    // `plan` is a copy of the plan-list row taken when the run began; `position` is the plan's
    // 1-based position in the round. Returns how the run ended (Abandoned after a stop).
    virtual PlanOutcome runPlan(const MonitorPlan& plan, int position, std::stop_token stop) = 0;
};

}  // namespace lumo
