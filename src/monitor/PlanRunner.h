#pragma once

#include <stop_token>

#include "check/MonitorPlan.h"

namespace lumo {

// One monitoring run of one plan, performed on a monitoring worker thread: the product runs
// PlanProcessor::runMonitoring, tests substitute their own.
//
// A run ends by clearing MonitorState::workerBusy. A run abandoned by a stop stores nothing more:
// stopped before its commit it writes nothing, stopped after it only logs what it stored.
// `stop` is requested when monitoring stops, to cut a page fetch under way short.
class PlanRunner {
public:
    virtual ~PlanRunner() = default;

    // `plan` is a copy of the plan-list row taken when the run began; `position` is the plan's
    // 1-based position in the round.
    virtual void runPlan(const MonitorPlan& plan, int position, std::stop_token stop) = 0;
};

}  // namespace lumo
