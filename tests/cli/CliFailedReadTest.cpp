// The real lumo-cli on a database it cannot read: held locked by another program at the start,
// or with a damaged table behind a sound catalogue. Every command fails with the reason and
// leaves its output file as it was, instead of working on "no rows".
#include <sqlite3.h>

#include <fstream>

#include "cli/CliTestBase.h"
#include "support/FileLock.h"

namespace lumo::test {
namespace {

class CliFailedReadTest : public CliTestBase {
protected:
    std::string fileWith(const std::string& name, const std::string& content) {
        const std::string path = db.directory() + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Overwrites the root page of `table` with zeros: the catalogue (page 1) stays readable, so
    // the file still opens as a Lumo database, but every read of the table fails as corrupt.
    void damageTable(const std::string& table) {
        const QueryResult root =
            db.query("select rootpage from sqlite_master where name='" + table + "'");
        const QueryResult size = db.query("pragma page_size");
        ASSERT_TRUE(root.rowCount() == 1 && size.rowCount() == 1);
        const long page = std::stol(root.rows[0][0]);
        const long bytes = std::stol(size.rows[0][0]);
        ASSERT_GT(page, 1);
        db.database().close();
        std::fstream file(db.path(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp((page - 1) * bytes);
        const std::string zeros(static_cast<std::size_t>(bytes), '\0');
        file.write(zeros.data(), bytes);
        ASSERT_TRUE(file.good());
    }
};

TEST_F(CliFailedReadTest, ABusyFileAtTheStartIsReportedAsBusyWithAStatusToRetry) {
    addBoardPlan(30, 3);
    const std::string feed = fileWith("feed.xml", "the good feed");
    FileLock lock(db.path());
    // Each waits out the busy timeout (five seconds) before it gives up.
    const auto plans = cli({"plans"});
    EXPECT_EQ(plans.exitCode, 75);
    EXPECT_NE(plans.err.find("is busy"), std::string::npos) << plans.err;
    EXPECT_EQ(plans.err.find("not a Lumo database"), std::string::npos) << plans.err;
    EXPECT_TRUE(plans.out.empty());
    const auto written = cli({"feed", "-o", feed});
    EXPECT_EQ(written.exitCode, 75) << written.err;
    EXPECT_EQ(fileBytes(feed), "the good feed");
}

TEST_F(CliFailedReadTest, ADamagedPlanTableFailsTheListTheExportAndTheRun) {
    addBoardPlan(30, 3);
    const std::string exported = fileWith("plans.json", "the good export");
    damageTable("rule");
    const auto plans = cli({"plans"});
    EXPECT_EQ(plans.exitCode, 1);
    EXPECT_NE(plans.err.find("the plans could not be read"), std::string::npos) << plans.err;
    EXPECT_NE(plans.err.find("malformed"), std::string::npos) << plans.err;
    EXPECT_TRUE(plans.out.empty()) << plans.out;

    const auto exporting = cli({"plans", "export", "-o", exported});
    EXPECT_EQ(exporting.exitCode, 1) << exporting.err;
    EXPECT_EQ(fileBytes(exported), "the good export");

    const auto run = cli({"run"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("the plans could not be read"), std::string::npos) << run.err;
}

TEST_F(CliFailedReadTest, ADamagedArticleTableFailsTheListTheFeedAndTheRun) {
    addBoardPlan(30, 3);
    const std::string feed = fileWith("feed.xml", "the good feed");
    damageTable("info");
    const auto latest = cli({"latest"});
    EXPECT_EQ(latest.exitCode, 1);
    EXPECT_NE(latest.err.find("the articles could not be read"), std::string::npos) << latest.err;
    EXPECT_TRUE(latest.out.empty()) << latest.out;

    const auto written = cli({"feed", "-o", feed});
    EXPECT_EQ(written.exitCode, 1) << written.err;
    EXPECT_EQ(fileBytes(feed), "the good feed");

    // Without the highest stored id every stored article would be printed as new.
    const auto run = cli({"run"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("monitoring did not start"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace lumo::test
