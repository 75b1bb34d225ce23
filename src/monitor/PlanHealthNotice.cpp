#include "monitor/PlanHealthNotice.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "monitor/NewArticlesNotice.h"

namespace lumo {

DesktopNotice planHealthNotice(const MonitorPlan& plan, const PlanHealthRecord& health,
                               HealthChange change) {
    DesktopNotice notice;
    const Text name = noticeLine(plan[MonitorPlan::name], kNoticeLongestTitle);
    if (change == HealthChange::Broken) {
        notice.summary = gbk("方案失效：") + name;
        notice.bodyLines.push_back(gbk("原因：") + noticeLine(health.reason, kNoticeLongestReason));
        notice.bodyLines.push_back(
            gbk("连续 ") + textOfInteger(health.failures) + gbk(" 次检查失败，自 ") +
            noticeLine(health.failingSince, kNoticeLongestTitle) + gbk(" 起"));
    } else {
        notice.summary = gbk("方案恢复正常：") + name;
        notice.bodyLines.push_back(gbk("检查成功：") +
                                   noticeLine(health.checked, kNoticeLongestTitle));
    }
    notice.link = plan[MonitorPlan::url];
    return notice;
}

}  // namespace lumo
