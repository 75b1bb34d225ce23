#include "cli/ProgressPlanRunner.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::cli {

void ProgressPlanRunner::runPlan(const MonitorPlan& plan, int position, std::stop_token stop) {
    static const Text kPlan = gbk("\r\n任务");
    static const Text kColon = gbk("：");
    static const Text kOpen = gbk("（");
    static const Text kClose = gbk("）");
    if (!state_.stopRequested) {
        log_.append(kPlan + textOfInteger(position) + "/" + textOfInteger(state_.checkedCount) +
                    kColon + plan[MonitorPlan::name] + kOpen + plan[MonitorPlan::id] + kClose +
                    plan[MonitorPlan::url]);
    }
    inner_.runPlan(plan, position, std::move(stop));
}

}  // namespace lumo::cli
