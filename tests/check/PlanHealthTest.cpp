// The health record a monitoring run leaves in lumo.sdb.
#include "PlanProcessorTestBase.h"

#include "store/DatabaseFile.h"
#include "store/PendingHealth.h"
#include "store/PlanHealth.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class PlanHealthTest : public PlanProcessorTestBase {
protected:
    // A clock one minute further at every check, so the record's times tell the checks apart.
    MonitorRun::Options stepping() {
        MonitorRun::Options o = options();
        o.clock = [this] { return fixedTime() + minutes_ * 1min; };
        return o;
    }
    MonitorRunResult checkAt(int planId, int minute) {
        minutes_ = minute;
        state.workerBusy = true;
        return stepped.run(db.plan(planId), 1);
    }
    PlanHealthRecord stored(int planId) {
        const PlanHealth::Read read = PlanHealth::read(db.database());
        EXPECT_TRUE(read.query.ok);
        const auto found = read.records.find(textOfInteger(planId));
        return found == read.records.end() ? PlanHealthRecord{} : found->second;
    }
    static Text at(int minute) { return "2014-11-5 9:" + textOfInteger(3 + minute) + ":7"; }

    int minutes_ = 0;
    MonitorRun stepped{pages, sql, log, cutRegion, state, stepping()};
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
    EXPECT_EQ(record.reason, result.status.reason());
    EXPECT_EQ(result.status.kind(), Status::Kind::Failed);
    EXPECT_EQ(result.status.code(), 1);  // SQLITE_ERROR: no such table
    EXPECT_EQ(record.reason.find(gbk("无法写入数据库")), 0u);
    EXPECT_EQ(record.lastNew, "");
}

// A steady check (nothing new, no failure before) holds its record for the round's last check,
// which writes every held one in one transaction; a plan written at once takes its held record
// along first, so the times stay in order; a held write that fails keeps them for the next.
TEST_F(PlanHealthTest, SteadyRecordsWaitForTheRoundsLastCheckAndLandInOrder) {
    PendingHealth pending;
    MonitorRun::Options heldOptions = stepping();
    heldOptions.pendingHealth = &pending;
    MonitorRun held{pages, sql, log, cutRegion, state, heldOptions};
    heldOptions.writesHeldHealth = true;
    MonitorRun last{pages, sql, log, cutRegion, state, heldOptions};
    const auto check = [&](MonitorRun& run, int planId, int minute) {
        minutes_ = minute;
        state.workerBusy = true;
        return run.run(db.plan(planId), 1);
    };
    const int planId = addPlan("0");  // newest first: a quiet check writes nothing else
    servePage(BoardPage::threads(20, 5));
    EXPECT_EQ(check(held, planId, 1).recordedCount, 5);  // new articles: written at once
    const MonitorRunResult steady = check(held, planId, 2);
    ASSERT_TRUE(steady.health);
    EXPECT_EQ(steady.health->checked, at(2));
    EXPECT_EQ(stored(planId).checked, at(1));
    EXPECT_EQ(pending.size(), 1u);

    check(last, planId, 3);
    EXPECT_EQ(stored(planId).checked, at(3));
    EXPECT_EQ(stored(planId).outcome, PlanHealth::kNothingNew);
    EXPECT_EQ(pending.size(), 0u);

    // Held at 4, then a failed check at 5: both land, the held one first.
    check(held, planId, 4);
    pages.setPage(kUrl, Bytes());
    check(held, planId, 5);
    PlanHealthRecord record = stored(planId);
    EXPECT_EQ(record.failures, 1);
    EXPECT_EQ(record.failingSince, at(5));
    EXPECT_EQ(record.lastSuccess, at(4));
    EXPECT_EQ(pending.size(), 0u);

    // A recovery is written at once; a later steady record's write fails and stays held.
    servePage(BoardPage::threads(20, 5));
    check(held, planId, 6);
    EXPECT_EQ(stored(planId).failures, 0);
    check(held, planId, 7);
    ASSERT_TRUE(db.database().execute("alter table planhealth rename to planhealth_kept"));
    ASSERT_TRUE(db.database().execute("create view planhealth as select * from planhealth_kept"));
    check(last, planId, 8);
    EXPECT_NE(log.content().find(gbk("方案的检查结果无法记录")), Text::npos);
    EXPECT_EQ(pending.size(), 1u);
    ASSERT_TRUE(db.database().execute("drop view planhealth"));
    ASSERT_TRUE(db.database().execute("alter table planhealth_kept rename to planhealth"));
    EXPECT_TRUE(pending.write(db.database()).ok);
    EXPECT_EQ(stored(planId).checked, at(8));
}

}  // namespace
}  // namespace lumo::test
