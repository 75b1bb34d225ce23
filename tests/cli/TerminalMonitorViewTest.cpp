// The plan rows a `run` reads from `rule` when each plan's run begins.
#include "cli/TerminalMonitorView.h"

#include <gtest/gtest.h>

#include "support/FileLock.h"
#include "support/TempDatabase.h"

namespace lumo::test {
namespace {

TEST(TerminalMonitorViewTest, APlanRowThatCannotBeReadIsReportedWithTheReason) {
    TempDatabase db;
    MonitorPlan plan;
    plan[MonitorPlan::name] = "board";
    const int id = db.addPlan(plan);
    db.database().setBusyTimeout(50);
    std::string reported;
    cli::TerminalMonitorView view(db.database(), {std::to_string(id)}, "300", false,
                                  {{}, {}, [&](const Text& planId, const QueryResult& failure) {
                                       reported = planId + ": " + failure.message;
                                   }});
    EXPECT_EQ(view.planRowTexts(0)[MonitorPlan::name], "board");
    EXPECT_EQ(reported, "");

    FileLock lock(db.path());
    EXPECT_TRUE(view.planRowTexts(0).empty());
    EXPECT_EQ(reported, std::to_string(id) + ": database is locked");
}

}  // namespace
}  // namespace lumo::test
