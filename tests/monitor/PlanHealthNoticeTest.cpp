#include "monitor/PlanHealthNotice.h"

#include <gtest/gtest.h>

#include "base/GbkCodec.h"
#include "monitor/NewArticlesNotice.h"

namespace lumo {
namespace {

MonitorPlan planNamed(const Text& name) {
    MonitorPlan plan;
    plan[MonitorPlan::name] = name;
    plan[MonitorPlan::url] = "http://bbs.test/list";
    return plan;
}

TEST(PlanHealthNotice, ABrokenPlanSaysWhyHowOftenAndSinceWhenAndLinksItsPage) {
    PlanHealthRecord health;
    health.checked = "2026-12-09 10:20:00";
    health.reason = gbk("无法连接：连接被拒绝");
    health.failures = 3;
    health.failingSince = "2026-12-09 10:00:00";
    const DesktopNotice notice =
        planHealthNotice(planNamed(gbk("休闲版")), health, HealthChange::Broken);
    EXPECT_EQ(notice.summary, gbk("方案失效：休闲版"));
    EXPECT_EQ(notice.bodyLines, (TextList{gbk("原因：无法连接：连接被拒绝"),
                                          gbk("连续 3 次检查失败，自 2026-12-09 10:00:00 起")}));
    EXPECT_EQ(notice.link, "http://bbs.test/list");
}

TEST(PlanHealthNotice, ARecoveredPlanSaysWhenItWorkedAgain) {
    PlanHealthRecord health;
    health.checked = "2026-12-09 11:00:00";
    health.lastSuccess = health.checked;
    const DesktopNotice notice =
        planHealthNotice(planNamed(gbk("休闲版")), health, HealthChange::Recovered);
    EXPECT_EQ(notice.summary, gbk("方案恢复正常：休闲版"));
    EXPECT_EQ(notice.bodyLines, (TextList{gbk("检查成功：2026-12-09 11:00:00")}));
    EXPECT_EQ(notice.link, "http://bbs.test/list");
}

TEST(PlanHealthNotice, NameAndReasonLoseControlCharactersAndAreCut) {
    PlanHealthRecord health;
    health.failures = 5;
    Text longReason;
    for (int i = 0; i < 2 * kNoticeLongestReason; ++i) longReason += gbk("错");
    health.reason = "\x1b[2J" + longReason;
    const DesktopNotice notice =
        planHealthNotice(planNamed("A\r\nB"), health, HealthChange::Broken);
    EXPECT_EQ(notice.summary, gbk("方案失效：") + "A  B");
    Text expected = gbk("原因：") + " [2J";
    for (int i = 0; i < kNoticeLongestReason - 4; ++i) expected += gbk("错");
    EXPECT_EQ(notice.bodyLines.front(), expected + gbk("…"));
}

}  // namespace
}  // namespace lumo
