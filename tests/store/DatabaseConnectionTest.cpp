#include "store/DatabaseConnection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "base/GbkCodec.h"
#include "store/SqlRunner.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;

TEST(PlanDatabaseTest, NeverCreatesAFileAndRefusesMemoryDatabases) {
    test::TempDatabase temp;
    const fs::path missing = fs::path(temp.directory()) / "missing.sdb";
    DatabaseConnection db;
    EXPECT_FALSE(db.open(missing.string()));
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(db.open(""));
    EXPECT_FALSE(db.open(":memory:"));
    EXPECT_FALSE(db.isOpen());
    // A closed connection runs nothing and reports code 0; queries come back empty.
    EXPECT_FALSE(db.execute("select 1"));
    EXPECT_EQ(db.lastErrorCode(), 0);
    EXPECT_TRUE(db.query("select 1").empty());
}

TEST(PlanDatabaseTest, DirectoryNamedLikeTheDatabaseFailsQuietly) {
    test::TempDatabase temp;
    const fs::path dir = fs::path(temp.directory()) / "elsewhere" / "lumo.sdb";
    fs::create_directories(dir);
    DatabaseConnection db;
    EXPECT_FALSE(db.open(dir.string()));
    EXPECT_TRUE(db.query("select * from info").empty());
}

TEST(PlanDatabaseTest, AFileThatIsNotADatabaseFailsWithCode26) {
    test::TempDatabase temp;
    const fs::path junk = fs::path(temp.directory()) / "junk.sdb";
    std::ofstream(junk) << std::string(4096, 'x');
    DatabaseConnection db;
    db.open(junk.string());
    EXPECT_TRUE(db.query("select * from info").empty());
    const Status outcome = db.execute("update info set issoucang=1 where id=1");
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.code(), 26);
}

TEST(PlanDatabaseTest, ExecuteQueryAndErrorCodes) {
    test::TempDatabase temp;
    DatabaseConnection& db = temp.database();
    const QueryResult empty = db.query("select * from rule");
    ASSERT_EQ(empty.columnCount(), 20);
    EXPECT_EQ(empty.columns[0], "id");
    EXPECT_EQ(empty.columns[7], "arttile");
    EXPECT_EQ(empty.columns[19], "type");
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_EQ(db.query("select * from info").columnCount(), 8);

    EXPECT_TRUE(
        db.execute("insert into info(planname,planid,title,url,other,addtime,issoucang) "
                   "values('a',1,'t1','u','o','2024-1-2 3:4:5',0);"
                   "insert into info(planname,planid,title,url,other,addtime,issoucang) "
                   "values('b',1,'t2','u','',NULL,0)"));
    EXPECT_EQ(db.lastErrorCode(), 0);
    const QueryResult rows = db.query("select * from info where 1 order by id desc LIMIT 100");
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.rows[0][3], "t2");  // the later row comes first
    EXPECT_EQ(rows.rows[0][6], "");    // NULL reads as the empty text
    EXPECT_EQ(rows.rows[1][0], "1");
    EXPECT_EQ(rows.rows[1][7], "0");

    EXPECT_TRUE(db.execute("update info set issoucang=1 where id=1"));
    EXPECT_EQ(
        db.query("select * from info where issoucang=1 order by id desc LIMIT 100").rowCount(), 1);

    // Syntax error and missing table: code 1; several statements stop at the failing one.
    EXPECT_FALSE(db.execute("update nothing set a=1"));
    EXPECT_EQ(db.lastErrorCode(), 1);
    EXPECT_FALSE(
        db.execute("update info set other='x' where id=2; bogus; update info set other='y'"));
    EXPECT_EQ(db.query("select other from info where id=2").rows[0][0], "x");
    EXPECT_TRUE(db.query("select * from nothing").empty());

    // An empty text runs nothing and leaves the previous code.
    EXPECT_FALSE(db.execute(""));
    EXPECT_EQ(db.lastErrorCode(), 1);
}

TEST(PlanDatabaseTest, GbkBytesAreStoredUnchanged) {
    test::TempDatabase temp;
    const Text title = gbk("中文标题") + "\x81\x62";
    ASSERT_TRUE(temp.database().execute("insert into info(title) values('" + title + "')"));
    EXPECT_EQ(temp.database().query("select title from info").rows.at(0).at(0), title);
}

TEST(PlanDatabaseTest, TwoThreadsNeverOverlapAndLoseNoWrite) {
    test::TempDatabase temp;
    DatabaseConnection& db = temp.database();
    constexpr int kPerThread = 200;
    auto writer = [&db](const char* name) {
        for (int i = 0; i < kPerThread; ++i) {
            const Status outcome = db.execute(
                std::string("insert into info(planname,issoucang) values('") + name + "',0)");
            ASSERT_TRUE(outcome.ok());
            ASSERT_EQ(outcome.code(), 0);
            // Queries interleave with the other thread's writes.
            ASSERT_EQ(db.query("select count(*) from info").columnCount(), 1);
        }
    };
    std::thread a(writer, "a");
    std::thread b(writer, "b");
    a.join();
    b.join();
    const QueryResult counts =
        db.query("select planname, count(*) from info group by planname order by planname");
    ASSERT_EQ(counts.rowCount(), 2);
    EXPECT_EQ(counts.rows[0][1], std::to_string(kPerThread));
    EXPECT_EQ(counts.rows[1][1], std::to_string(kPerThread));
}

TEST(SqlRunnerTest, SuccessAndFailureTextsAndLogLines) {
    test::TempDatabase temp;
    test::FakeStatusLog log;
    test::FakeMessagePresenter messages;
    SqlRunner runner(temp.database(), log, messages);

    const Text ok = "update info set issoucang=1 where id=671";
    EXPECT_EQ(runner.runSql(ok), gbk("成功！SQL：") + ok);
    EXPECT_EQ(log.content(), "\r\n" + ok + gbk("成功！SQL：") + ok);
    EXPECT_TRUE(messages.messages().empty());

    const Text bad = "select * from nothing";
    EXPECT_EQ(runner.runSql(bad), gbk("执行出错！错误代码：1"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, gbk("执行出错！错误代码：1"));
    EXPECT_EQ(messages.messages()[0].caption, gbk("信息："));
    EXPECT_EQ(log.content(),
              "\r\n" + ok + gbk("成功！SQL：") + ok + "\r\n" + bad + gbk("执行出错！错误代码：1"));

    // An empty text fails with whatever code the previous call left.
    EXPECT_EQ(runner.runSql(""), gbk("执行出错！错误代码：1"));
    runner.runSql(ok);
    EXPECT_EQ(runner.runSql(""), gbk("执行出错！错误代码：0"));
}

TEST(PlanDatabaseTest, EverySuccessfulCallLeavesCodeZero) {
    test::TempDatabase temp;
    test::FakeStatusLog log;
    test::FakeMessagePresenter messages;
    DatabaseConnection& db = temp.database();
    SqlRunner runner(db, log, messages);
    // A query that read all its rows (and one that found none) is a success, as the list
    // reloads before an empty console text are.
    for (const char* sql : {"select * from rule", "select * from info where id=-1", "select 1"}) {
        EXPECT_FALSE(db.execute("bogus"));
        EXPECT_EQ(db.lastErrorCode(), 1);
        EXPECT_TRUE(db.query(sql).ok);
        EXPECT_EQ(db.lastErrorCode(), 0) << sql;
        EXPECT_EQ(runner.runSql(""), gbk("执行出错！错误代码：0"));
    }
    // A query that cannot be prepared leaves its own code, and says so.
    const QueryResult missing = db.query("select * from nothing");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.errorCode, 1);
    EXPECT_EQ(db.lastErrorCode(), 1);
    db.close();
    EXPECT_EQ(db.lastErrorCode(), 0);
    EXPECT_FALSE(db.query("select 1").ok);
}

TEST(SqlRunnerTest, ClosedDatabaseFailsWithCodeZero) {
    DatabaseConnection closed;
    test::FakeStatusLog log;
    test::FakeMessagePresenter messages;
    SqlRunner runner(closed, log, messages);
    EXPECT_EQ(runner.runSql("select 1"), gbk("执行出错！错误代码：0"));
}

TEST(PlanDatabaseTest, ExecuteAllStoresEveryStatementOrNone) {
    test::TempDatabase temp;
    DatabaseConnection& db = temp.database();
    const auto count = [&] { return temp.query("select count(*) from info").rows.at(0).at(0); };
    const Text insert = "insert into info(planname,title) values('p','t')";

    const DatabaseConnection::BatchOutcome done = db.executeAll({insert, insert});
    EXPECT_TRUE(done.ok);
    EXPECT_EQ(count(), "2");
    EXPECT_TRUE(db.executeAll({}).ok);

    const DatabaseConnection::BatchOutcome failed =
        db.executeAll({insert, "insert into nowhere values(1)"});
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.failedIndex, 1);
    EXPECT_EQ(failed.errorCode, SQLITE_ERROR);
    EXPECT_EQ(failed.statement, "insert into nowhere values(1)");
    EXPECT_NE(failed.message.find("nowhere"), Text::npos);
    EXPECT_EQ(count(), "2");  // the first insert went back with the failure
    // The connection is usable again, outside any transaction.
    EXPECT_TRUE(db.execute(insert));
    EXPECT_EQ(count(), "3");

    db.close();
    const DatabaseConnection::BatchOutcome closed = db.executeAll({insert});
    EXPECT_FALSE(closed.ok);
    EXPECT_EQ(closed.errorCode, 0);
}

TEST(PlanDatabaseTest, ABatchWaitsForAnotherWriterOnlyAsLongAsTheBusyTimeout) {
    test::TempDatabase temp;
    DatabaseConnection& db = temp.database();
    db.setBusyTimeout(100);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(temp.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto started = std::chrono::steady_clock::now();
    const DatabaseConnection::BatchOutcome busy =
        db.executeAll({"insert into info(planname,title) values('p','t')"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_FALSE(busy.ok);
    EXPECT_EQ(busy.errorCode, SQLITE_BUSY);
    EXPECT_EQ(busy.statement, "BEGIN IMMEDIATE");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(db.executeAll({"insert into info(planname,title) values('p','t')"}).ok);
}

}  // namespace
}  // namespace lumo
