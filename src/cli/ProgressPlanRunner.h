#pragma once

#include "base/StatusLog.h"
#include "check/MonitorState.h"
#include "monitor/PlanRunner.h"

namespace lumo::cli {

// Says which plan a run is about before handing it to the real runner: one line per plan,
// "\r\n任务<n>/<count>：<name>（<id>）<address>", so a long `run` shows what it is doing.
//
// Thread-safe as the wrapped runner and the log are; runs on the monitoring worker.
class ProgressPlanRunner : public PlanRunner {
public:
    ProgressPlanRunner(PlanRunner& inner, StatusLog& log, const MonitorState& state)
        : inner_(inner), log_(log), state_(state) {}

    void runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override;

private:
    PlanRunner& inner_;
    StatusLog& log_;
    const MonitorState& state_;
};

}  // namespace lumo::cli
