// The health record a monitoring run leaves in lumo.sdb.
#include "PlanProcessorTestBase.h"

#include "store/DatabaseFile.h"
#include "store/PlanHealth.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class PlanHealthTest : public PlanProcessorTestBase {
protected:
    // A clock one minute further at every check, so the record's times tell the checks apart.
    PlanProcessor::Options stepping() {
        PlanProcessor::Options o = options();
        o.clock = [this] { return fixedTime() + minutes_ * 1min; };
        return o;
    }
    MonitorRunResult checkAt(int planId, int minute) {
        minutes_ = minute;
        state.workerBusy = true;
        return stepped.runMonitoring(db.plan(planId), 1);
    }
    PlanHealthRecord stored(int planId) {
        const PlanHealth::Read read = PlanHealth::read(db.database());
        EXPECT_TRUE(read.query.ok);
        const auto found = read.records.find(textOfInteger(planId));
        return found == read.records.end() ? PlanHealthRecord{} : found->second;
    }
    static Text at(int minute) { return "2014-11-5 9:" + textOfInteger(3 + minute) + ":7"; }

    int minutes_ = 0;
    PlanProcessor stepped{pages, sql, log, messages, testEdit, state, stepping()};
};

TEST_F(PlanHealthTest, FailuresCountInARowAndASuccessEndsTheSpell) {
    // A file of today's main has no health table: reading it finds no record, and is no failure.
    PlanHealth::Read none = PlanHealth::read(db.database());
    EXPECT_TRUE(none.query.ok);
    EXPECT_TRUE(none.records.empty());

    const int planId = addPlan("8");
    for (int minute = 1; minute <= 3; ++minute) {
        const MonitorRunResult result = checkAt(planId, minute);
        EXPECT_EQ(result.failuresBefore, minute - 1);
        ASSERT_TRUE(result.health);
        EXPECT_EQ(result.health->failures, minute);
    }
    PlanHealthRecord record = stored(planId);
    EXPECT_EQ(record.outcome, PlanHealth::kFailed);
    EXPECT_EQ(record.reason, gbk("没有取到页面"));
    EXPECT_EQ(record.failures, 3);
    EXPECT_EQ(record.failingSince, at(1));
    EXPECT_EQ(record.checked, at(3));
    EXPECT_EQ(record.lastSuccess, "");

    servePage(BoardPage::threads(20, 5));
    EXPECT_EQ(checkAt(planId, 4).failuresBefore, 3);
    record = stored(planId);
    EXPECT_EQ(record.outcome, PlanHealth::kNewArticles);
    EXPECT_EQ(record.failures, 0);
    EXPECT_EQ(record.failingSince, "");
    EXPECT_EQ(record.reason, "");
    EXPECT_EQ(record.lastSuccess, at(4));
    EXPECT_EQ(record.lastNew, at(4));

    // Nothing new: the last new article keeps its time. What the run computed is what it stored.
    const MonitorRunResult quiet = checkAt(planId, 5);
    record = stored(planId);
    EXPECT_EQ(record.outcome, PlanHealth::kNothingNew);
    EXPECT_EQ(record.lastSuccess, at(5));
    EXPECT_EQ(record.lastNew, at(4));
    ASSERT_TRUE(quiet.health);
    EXPECT_EQ(quiet.health->lastNew, record.lastNew);
    EXPECT_EQ(quiet.health->lastSuccess, record.lastSuccess);
    // The log shows no statement of the record.
    EXPECT_EQ(log.content().find("planhealth"), Text::npos);

    // The file with its new table still opens as a lumo database, rule untouched.
    DatabaseConnection again;
    EXPECT_EQ(DatabaseFile::openExisting(again, db.path()).kind(), Status::Kind::Ok);
    EXPECT_EQ(again.query("select * from rule").columnCount(), 20);
}

TEST_F(PlanHealthTest, WritesThatCannotBeStoredAreAFailedCheck) {
    const int planId = addPlan("8");
    servePage(BoardPage::threads(20, 5));
    ASSERT_TRUE(db.database().execute("alter table info rename to gone"));
    const MonitorRunResult result = checkAt(planId, 1);
    EXPECT_EQ(result.recordedCount, 0);
    // The run's transaction held the record too; it went, and the failure was recorded alone.
    const PlanHealthRecord record = stored(planId);
    EXPECT_EQ(record.outcome, PlanHealth::kFailed);
    EXPECT_EQ(record.reason, result.failure);
    EXPECT_EQ(record.reason.find(gbk("无法写入数据库")), 0u);
    EXPECT_EQ(record.lastNew, "");
}

}  // namespace
}  // namespace lumo::test
