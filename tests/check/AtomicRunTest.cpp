// Faults a monitoring run must survive without losing or doubling an article: a locked, full,
// read-only or damaged lumo.sdb, a marker that is part of a newer title, an empty newest title,
// and a pattern that matches every byte of a large page.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>

#include "PlanProcessorTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;
using Threads = std::vector<BoardPage::Thread>;

class AtomicRunTest : public PlanProcessorTestBase {
protected:
    void SetUp() override { db.database().setBusyTimeout(50); }

    // The first check of a plan stores the first board; the page then gets `fresh` on top.
    int checkedPlanWithNewOnTop(const Threads& old, const Threads& fresh) {
        servePage(old);
        const int planId = addPlan("0");
        EXPECT_EQ(check(planId).recordedCount, static_cast<int>(old.size()));
        Threads page = fresh;
        page.insert(page.end(), old.begin(), old.end());
        servePage(page);
        messages.clear();
        log.replace("");
        return planId;
    }

    // Nothing stored, the plan as it was, one failure line with `code`, one box, the closing line.
    void expectRolledBack(const MonitorRunResult& result, const MonitorPlan& before, int code) {
        EXPECT_EQ(result.recordedCount, 0);
        EXPECT_FALSE(result.planUpdated);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0].text, gbk("执行出错！错误代码：") + textOfInteger(code));
        EXPECT_EQ(occurrences(log.content(), gbk("执行出错！")), 1);
        EXPECT_EQ(occurrences(log.content(), gbk("成功！SQL：")), 0);
        EXPECT_NE(log.content().find(closingLine()), Text::npos);
        const MonitorPlan after = db.plan(integerOfText(before[MonitorPlan::id]));
        EXPECT_EQ(after[MonitorPlan::arttile], before[MonitorPlan::arttile]);
        EXPECT_EQ(after[MonitorPlan::lasttime], before[MonitorPlan::lasttime]);
        EXPECT_FALSE(state.workerBusy);
    }
};

TEST_F(AtomicRunTest, ALockedFileStoresNothingUntilItIsFreeThenExactlyTheNewArticles) {
    const int planId =
        checkedPlanWithNewOnTop(BoardPage::threads(20, 5), BoardPage::threads(40, 20));
    const MonitorPlan before = db.plan(planId);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    state.newContentFound = false;
    state.workerBusy = true;
    const MonitorRunResult locked = monitorRun.run(before, 1);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    expectRolledBack(locked, before, SQLITE_BUSY);
    EXPECT_FALSE(state.newContentFound);
    EXPECT_EQ(db.articles().size(), 5u);

    EXPECT_EQ(check(planId).recordedCount, 20);
    EXPECT_TRUE(state.newContentFound);
    EXPECT_EQ(db.articles().size(), 25u);
    EXPECT_EQ(check(planId).recordedCount, 0);
}

TEST_F(AtomicRunTest, AFullDiskStoresNothingAndTheRunIsStoredOnceThereIsRoom) {
    const int planId =
        checkedPlanWithNewOnTop(BoardPage::threads(20, 5), BoardPage::threads(80, 50));
    const MonitorPlan before = db.plan(planId);
    const Text pages = db.query("PRAGMA page_count").rows.at(0).at(0);
    ASSERT_TRUE(db.database().execute("PRAGMA max_page_count=" + pages));
    expectRolledBack(check(planId), before, SQLITE_FULL);
    EXPECT_EQ(db.articles().size(), 5u);

    ASSERT_TRUE(db.database().execute("PRAGMA max_page_count=1000000"));
    EXPECT_EQ(check(planId).recordedCount, 50);
    EXPECT_EQ(db.articles().size(), 55u);
}

TEST_F(AtomicRunTest, AReadOnlyFileGivesOneBoxForTheWholeRun) {
    const int planId =
        checkedPlanWithNewOnTop(BoardPage::threads(20, 5), BoardPage::threads(80, 50));
    const MonitorPlan before = db.plan(planId);
    // query_only refuses every write as a write-protected file does (also for root, whom file
    // modes do not stop).
    ASSERT_TRUE(db.database().execute("PRAGMA query_only=1"));
    expectRolledBack(check(planId), before, SQLITE_READONLY);
    ASSERT_TRUE(db.database().execute("PRAGMA query_only=0"));
    EXPECT_EQ(check(planId).recordedCount, 50);
}

TEST_F(AtomicRunTest, ADamagedTableStoresNothingAndLeavesThePlanAsItWas) {
    const int planId =
        checkedPlanWithNewOnTop(BoardPage::threads(20, 5), BoardPage::threads(40, 20));
    const MonitorPlan before = db.plan(planId);
    const int root = integerOfText(
        db.query("select rootpage from sqlite_master where name='info'").rows.at(0).at(0));
    const int pageSize = integerOfText(db.query("PRAGMA page_size").rows.at(0).at(0));
    db.database().close();
    {
        std::fstream file(db.path(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(root - 1) * pageSize);
        const std::string garbage(static_cast<std::size_t>(pageSize), '\xA5');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    ASSERT_TRUE(db.database().open(db.path()));
    const MonitorRunResult result = check(planId);
    EXPECT_EQ(result.recordedCount, 0);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text,
              gbk("执行出错！错误代码：") + textOfInteger(SQLITE_CORRUPT));
    EXPECT_EQ(db.plan(planId)[MonitorPlan::lasttime], before[MonitorPlan::lasttime]);
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], before[MonitorPlan::arttile]);
}

TEST_F(AtomicRunTest, TheMarkerIsItsOwnArticleNotANewerTitleHoldingIt) {
    const Threads old{{11, "Hello"}, {10, "Older news"}};
    const int planId = checkedPlanWithNewOnTop(old, {{12, "Hello again"}});
    const MonitorRunResult result = check(planId);
    EXPECT_EQ(result.recordedCount, 1);
    EXPECT_EQ(storedTitles(), (std::vector<Text>{"Older news", "Hello", "Hello again"}));
    EXPECT_EQ(log.content().find(gbk("出错！无法在源码中找到最后文章标记！")), Text::npos);
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], "Hello again");

    // Oldest first: the region starts after the marker's own article.
    Threads board{{1, "Hi"}, {2, "Hi there"}};
    servePage(board);
    const int oldest = addPlan("2");
    EXPECT_EQ(check(oldest).recordedCount, 2);  // never checked: all of it; marker "Hi there"
    MonitorPlan plan = db.plan(oldest);
    ASSERT_EQ(plan[MonitorPlan::arttile], "Hi there");
    board = {{1, "Hi there again"}, {2, "Hi there"}, {3, "Hi"}};
    servePage(board);
    EXPECT_EQ(check(oldest).recordedCount, 1);
    EXPECT_EQ(db.articles().back()[ArticleRecord::title], "Hi");
}

TEST_F(AtomicRunTest, AGoneMarkerLogsItsLineAndTakesTheFullRegion) {
    const int planId = checkedPlanWithNewOnTop({{11, "Hello"}}, {{13, "Hello again"}, {12, "B"}});
    servePage({{13, "Hello again"}, {12, "B"}});
    EXPECT_EQ(check(planId).recordedCount, 2);
    EXPECT_NE(log.content().find(gbk("出错！无法在源码中找到最后文章标记！")), Text::npos);
}

TEST_F(AtomicRunTest, ACheckedPlanWithAnEmptyNewestTitleDoesNotStoreItsRegionAgain) {
    servePage(BoardPage::threads(20, 3));
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::tindex] = "9";  // beyond the groups: every title is empty
    const int planId = db.addPlan(plan);
    EXPECT_EQ(check(planId).recordedCount, 3);
    ASSERT_EQ(db.plan(planId)[MonitorPlan::arttile], "");
    ASSERT_NE(db.plan(planId)[MonitorPlan::lasttime], "");
    state.newContentFound = false;
    EXPECT_EQ(check(planId).recordedCount, 0);
    EXPECT_EQ(check(planId).recordedCount, 0);
    EXPECT_EQ(db.articles().size(), 3u);
    EXPECT_FALSE(state.newContentFound);
}

TEST_F(AtomicRunTest, APatternMatchingEveryByteStopsAtTheCapWithALine) {
    MonitorRun::Options capped = options();
    capped.maxMatches = 1000;
    MonitorRun limited(pages, sql, log, cutRegion, state, capped);
    RuleTest::Options cappedTest = ruleTestOptions();
    cappedTest.maxMatches = 1000;
    RuleTest limitedTest(pages, log, messages, cutRegion, cappedTest);
    pages.setPage(kUrl, "<b>" + Text(5u << 20, 'x') + "</b>");
    MonitorPlan plan = BoardPage::plan(kUrl, true, "8");
    plan[MonitorPlan::before] = "<b>";
    plan[MonitorPlan::after] = "</b>";
    plan[MonitorPlan::regular] = "(.)";
    plan[MonitorPlan::uindex] = "0";
    const int planId = db.addPlan(plan);
    const RuleTestResult test = limitedTest.run(db.plan(planId));
    EXPECT_EQ(test.rows.size(), 1000u);
    EXPECT_TRUE(test.truncated);
    EXPECT_NE(log.content().find(gbk("其余已略去")), Text::npos);

    log.replace("");
    state.workerBusy = true;
    const MonitorRunResult result = limited.run(db.plan(planId), 1);
    EXPECT_EQ(result.matchCount, 1000);
    EXPECT_NE(log.content().find(gbk("其余已略去")), Text::npos);
}

}  // namespace
}  // namespace lumo::test
