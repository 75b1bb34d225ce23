// Reads of lumo.sdb while another program holds it locked: each fails with SQLite's reason and
// is never taken for an empty table.
#include <gtest/gtest.h>

#include "feed/AtomFeed.h"
#include "plans/PlanFile.h"
#include "store/DatabaseFile.h"
#include "support/ArticleRows.h"
#include "support/FileLock.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

class ReadsUnderALockTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp.database().setBusyTimeout(50);
        ArticleRecord article;
        article[ArticleRecord::planid] = "1";
        article[ArticleRecord::title] = "t";
        ASSERT_NE(test::addArticle(temp.database(), article), 0);
    }

    test::TempDatabase temp;
};

TEST_F(ReadsUnderALockTest, AFailedQueryCarriesItsReasonAndNoRows) {
    test::FileLock lock(temp.path());
    const QueryResult busy = temp.database().query("select * from info");
    EXPECT_FALSE(busy.ok);
    EXPECT_TRUE(busy.busy());
    EXPECT_EQ(busy.message, "database is locked");
    EXPECT_TRUE(busy.columns.empty() && busy.rows.empty());
    lock.release();

    const QueryResult missing = temp.database().query("select nope from info");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.busy());
    EXPECT_EQ(missing.message, "no such column: nope");
    const QueryResult read = temp.database().query("select * from info");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.rowCount(), 1);
}

TEST_F(ReadsUnderALockTest, OpeningABusyFileSaysBusyNotNotADatabase) {
    test::FileLock lock(temp.path());
    DatabaseConnection other;
    other.setBusyTimeout(50);
    const Status opened = DatabaseFile::openExisting(other, temp.path());
    EXPECT_EQ(opened.kind(), Status::Kind::Busy);
    EXPECT_NE(opened.reason().find("busy"), std::string::npos) << opened.reason();
    EXPECT_EQ(opened.reason().find("not a Lumo database"), std::string::npos) << opened.reason();
    EXPECT_FALSE(other.isOpen());
    lock.release();
    EXPECT_EQ(DatabaseFile::openExisting(other, temp.path()).kind(), Status::Kind::Ok);
}

TEST_F(ReadsUnderALockTest, ExportImportAndFeedFailInsteadOfWorkingOnNoRows) {
    test::FileLock lock(temp.path());
    const PlanFile::ExportResult exported = PlanFile::exportPlans(temp.database());
    EXPECT_TRUE(exported.json.empty());
    EXPECT_EQ(exported.status.kind(), Status::Kind::Busy);
    EXPECT_NE(exported.status.reason().find("database is locked"), std::string::npos)
        << exported.status.reason();

    const PlanFile::ImportReport imported = PlanFile::importPlans(
        temp.database(), R"({"format":"lumo-plans","version":1,"plans":[]})", false);
    EXPECT_FALSE(imported.ok);

    QueryResult failure;
    EXPECT_FALSE(AtomFeed::fromDatabase(temp.database(), {}, 0, failure));
    EXPECT_TRUE(failure.busy());
    lock.release();
    EXPECT_TRUE(AtomFeed::fromDatabase(temp.database(), {}, 0, failure));
}

}  // namespace
}  // namespace lumo
