#pragma once

#include <atomic>

#include "hooks/NewArticleCommand.h"
#include "monitor/PlanHealthObserver.h"

namespace lumo::cli {

// `run`'s part of plan health: notes whether any check failed (a one-round run then exits with
// kExitCheckFailed) and, with `--on-broken CMD`, runs the command once when a plan becomes broken,
// with the plan in the environment:
//   LUMO_PLAN_ID, LUMO_PLAN_NAME, LUMO_PLAN_URL, LUMO_REASON, LUMO_FAILURES, LUMO_FAILING_SINCE
// (UTF-8; bounded and started as --on-new's commands are). The log lines are the runner's own.
//
// Called on the monitoring worker; anyCheckFailed() may be asked from any thread.
class CliHealthReporter : public PlanHealthObserver {
public:
    // `onBroken` may be null (no command); it must outlive the reporter.
    explicit CliHealthReporter(const NewArticleCommand* onBroken) : onBroken_(onBroken) {}

    void checkEnded(const MonitorPlan& plan, const MonitorRunResult& result,
                    HealthChange change) override;

    bool anyCheckFailed() const { return anyFailed_.load(); }

    static NewArticleCommand::Variables environmentOf(const MonitorPlan& plan,
                                                      const PlanHealthRecord& health);

private:
    const NewArticleCommand* onBroken_;
    std::atomic<bool> anyFailed_{false};
};

}  // namespace lumo::cli
