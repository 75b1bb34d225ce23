#pragma once

#include "check/MonitorPlan.h"
#include "monitor/DesktopNotice.h"
#include "monitor/PlanHealthObserver.h"
#include "store/PlanHealth.h"

namespace lumo {

// The desktop notification of a plan whose standing changed (`change` is Broken or Recovered):
// - broken: summary "方案失效：<name>", then the lines "原因：<reason>" and
//   "连续 <n> 次检查失败，自 <since> 起";
// - recovered: summary "方案恢复正常：<name>", then "检查成功：<time>";
// each line cut and cleaned as newArticlesNotice's titles are (the reason may quote a page), and
// the plan's address as the link, where the user looks at what the page became.
// Pure; any thread.
DesktopNotice planHealthNotice(const MonitorPlan& plan, const PlanHealthRecord& health,
                               HealthChange change);

// The longest reason a notification shows, in characters.
constexpr int kNoticeLongestReason = 120;

}  // namespace lumo
