#include "cli/CliHealthReporter.h"

#include "base/GbkCodec.h"

namespace lumo::cli {

void CliHealthReporter::checkEnded(const MonitorPlan& plan, const MonitorRunResult& result,
                                   HealthChange change) {
    if (!result.status.ok()) anyFailed_ = true;
    if (change != HealthChange::Broken || onBroken_ == nullptr) return;
    onBroken_->runFor(environmentOf(plan, *result.health), "方案失效命令",
                      "方案 " + gbkToUtf8(plan[MonitorPlan::id]));
}

NewArticleCommand::Variables CliHealthReporter::environmentOf(const MonitorPlan& plan,
                                                              const PlanHealthRecord& health) {
    return {{"LUMO_PLAN_ID", gbkToUtf8(plan[MonitorPlan::id])},
            {"LUMO_PLAN_NAME", gbkToUtf8(plan[MonitorPlan::name])},
            {"LUMO_PLAN_URL", gbkToUtf8(plan[MonitorPlan::url])},
            {"LUMO_REASON", gbkToUtf8(health.reason)},
            {"LUMO_FAILURES", std::to_string(health.failures)},
            {"LUMO_FAILING_SINCE", gbkToUtf8(health.failingSince)}};
}

}  // namespace lumo::cli
