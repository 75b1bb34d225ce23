// Monitoring runs over hostile and broken input, failing patterns, and stops.
#include <thread>

#include "PlanProcessorTestBase.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;
using Threads = std::vector<BoardPage::Thread>;

class PlanInputTest : public PlanProcessorTestBase {
protected:
    int addPlanWith(MonitorPlan plan) { return db.addPlan(plan); }
    Text cutEmptyLine() const { return gbk("出错！截取源码为空，请检查方案的采集区域！"); }
};

TEST_F(PlanInputTest, HostileTitlesAndPlanFieldsStayInsideTheirLiterals) {
    const Text titles[] = {
        "'); delete from info; --",
        "it's (quoted); \"double\"",
        "\x81'); delete from rule; --",  // a stray GBK lead byte in front of the quote
        "\x81''x",
        "tail lead byte \x81",
        "lone\rcr and lone\nlf",
    };
    Threads board;
    for (int i = 0; i < 6; ++i) board.push_back({10 + i, titles[i]});
    servePage(board);
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::name] = "a'b'); drop table rule; --";
    plan[MonitorPlan::buquan] = "http://x/?q='[1]'&t=[3]";
    const int planId = addPlanWith(plan);

    const auto result = check(planId);
    EXPECT_EQ(result.recordedCount, 6);
    EXPECT_TRUE(messages.messages().empty()) << messages.messages()[0].text;
    const auto articles = db.articles();
    ASSERT_EQ(articles.size(), 6u);
    // Titles read back as escapeSqlText made them: quotes single again, ; ( ) full-width.
    EXPECT_EQ(articles[5][ArticleRecord::title],
              "'" + gbk("）；") + " delete from info" + gbk("；") + " --");
    EXPECT_EQ(articles[4][ArticleRecord::title],
              "it's " + gbk("（") + "quoted" + gbk("）；") + " \"double\"");
    EXPECT_EQ(articles[3][ArticleRecord::title],
              "\x81'" + gbk("）；") + " delete from rule" + gbk("；") + " --");
    EXPECT_EQ(articles[1][ArticleRecord::title], "tail lead byte \x81");
    EXPECT_EQ(articles[0][ArticleRecord::title], "lone\rcr and lone\nlf");
    EXPECT_EQ(articles[5][ArticleRecord::planname], plan[MonitorPlan::name]);
    EXPECT_EQ(articles[5][ArticleRecord::url], "http://x/?q='thread-10-1-1.html'&t=" + titles[0]);
    // The marker is the raw title, byte for byte, quotes and all.
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], titles[0]);
    EXPECT_EQ(db.query("select count(*) from rule").rows[0][0], "1");
}

TEST_F(PlanInputTest, SubMatchIndexesOutsideTheGroupsGiveEmptyTexts) {
    servePage(BoardPage::threads(20, 2));
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::tindex] = "-1";
    plan[MonitorPlan::oindex] = "99";
    plan[MonitorPlan::buquan] = "[0]|[x]|[ 2 ]|[-3]|[2147483648]";
    const int planId = addPlanWith(plan);
    check(planId);
    const auto articles = db.articles();
    ASSERT_EQ(articles.size(), 2u);
    EXPECT_EQ(articles[0][ArticleRecord::title], "");
    EXPECT_EQ(articles[0][ArticleRecord::other], "");
    // [0] and [x] are the whole match; "[ 2 ]" is collected as "2", not found, and stays.
    const Text whole = ArticleMatches::search(
                           BoardPage::kPattern,
                           replaceAllText(BoardPage::gbkPage({BoardPage::thread(19)}), "\r\n", ""))
                           .sub(1, 0);
    EXPECT_EQ(articles[0][ArticleRecord::url], whole + "|" + whole + "|[ 2 ]||");
}

TEST_F(PlanInputTest, TemplatesWithoutPlaceholdersGiveEveryArticleTheSameAddress) {
    servePage(BoardPage::threads(20, 2));
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::buquan] = "http://fixed/";
    check(addPlanWith(plan));
    plan[MonitorPlan::buquan] = "";
    check(addPlanWith(plan));
    const auto articles = db.articles();
    ASSERT_EQ(articles.size(), 4u);
    EXPECT_EQ(articles[0][ArticleRecord::url], "http://fixed/");
    EXPECT_EQ(articles[1][ArticleRecord::url], "http://fixed/");
    EXPECT_EQ(articles[3][ArticleRecord::url], "");
}

TEST_F(PlanInputTest, FailingPatternsAreLoggedAndTheRunGoesOnAsWithoutMatches) {
    servePage(BoardPage::threads(150, 50));
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::regular] = "([unclosed";
    auto result = check(addPlanWith(plan));
    EXPECT_EQ(result.patternStatus.kind(), Status::Kind::Refused);
    EXPECT_FALSE(result.planUpdated);
    Text content = log.content();
    EXPECT_EQ(content, gbk("\r\n出错！正则匹配失败：") + result.patternStatus.reason() + "----" +
                           kNow + closingLine());
    EXPECT_FALSE(state.workerBusy);

    // Catastrophic backtracking on a long page: Boost gives up, we carry on.
    pages.setPage(kUrl, BoardPage::gbkPage(BoardPage::threads(150, 50), 2000));
    plan[MonitorPlan::regular] = "<tbody(.*a){25}X";
    result = check(addPlanWith(plan));
    EXPECT_FALSE(result.patternStatus.ok());
    EXPECT_EQ(result.matchCount, 0);
    EXPECT_TRUE(db.articles().empty());
    EXPECT_FALSE(state.newContentFound);
}

TEST_F(PlanInputTest, BrokenPagesEndTheRunCleanly) {
    const int planId = addPlan("0");
    // A failed fetch: no marker yet, so only the empty-cut line, with the reason after it.
    const Text noPage = gbk("（没有取到页面）");
    auto result = check(planId);
    EXPECT_EQ(log.content(), cutEmptyLine() + noPage + closingLine());
    EXPECT_EQ(result.status.reason(), gbk("没有取到页面"));
    EXPECT_EQ(result.status.kind(), Status::Kind::Failed);
    EXPECT_EQ(cutRegion.texts().back(), "");

    // A page without the start marker.
    pages.setPage(kUrl, "<html><body>maintenance</body></html>");
    result = check(planId);
    EXPECT_EQ(result.matchCount, 0);
    EXPECT_EQ(log.content(),
              (cutEmptyLine() + noPage + closingLine()) +
                  (cutEmptyLine() + gbk("（源码中找不到开始标记）") + closingLine()));
    EXPECT_FALSE(state.workerBusy);

    // A failed fetch with a marker: both lines, the marker one first.
    db.database().execute("update rule set arttile='x' where id=" + textOfInteger(planId));
    pages.setPage(kUrl, "");
    log.replace("");
    check(planId);
    EXPECT_EQ(log.content(), gbk("出错！无法在源码中找到最后文章标记！") + cutEmptyLine() + noPage +
                                 closingLine());
    EXPECT_TRUE(db.articles().empty());
}

TEST_F(PlanInputTest, PagesInTheOtherEncodingAreProcessedWithoutHarm) {
    // A GBK page read as UTF-8: the Chinese becomes "?", the ASCII markup still matches.
    servePage(BoardPage::threads(20, 3), true);
    check(addPlan("0", false));
    // A UTF-8 page read as GBK: its bytes are taken as they are.
    servePage(BoardPage::threads(20, 3), false);
    check(addPlan("0", true));
    const auto articles = db.articles();
    ASSERT_EQ(articles.size(), 6u);
    EXPECT_EQ(articles[2][ArticleRecord::title].find(gbk("号帖")), Text::npos);
    EXPECT_EQ(articles[5][ArticleRecord::title], gbkToUtf8(BoardPage::thread(20).title));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(PlanInputTest, NulBytesCutTheGbkPageAndLargePagesWork) {
    Bytes page = BoardPage::gbkPage(BoardPage::threads(20, 4));
    page.insert(page.find("thread-18-1-1.html\" onclick"), 1, '\0');
    pages.setPage(kUrl, page);
    check(addPlan("0"));
    // Only the two threads before the NUL remain, and the end marker went with the rest.
    EXPECT_EQ(db.articles().size(), 0u);

    // An 11 MB page.
    const Bytes large = BoardPage::gbkPage(BoardPage::threads(1000, 20), 560000);
    ASSERT_GT(large.size(), 11u * 1000 * 1000);
    pages.setPage(kUrl, large);
    const auto result = check(addPlan("0"));
    EXPECT_EQ(result.recordedCount, 20);
}

TEST_F(PlanInputTest, APatternMatchingTheEmptyTextRecordsOneEmptyArticle) {
    servePage(BoardPage::threads(20, 3));
    MonitorPlan plan = BoardPage::plan(kUrl, true, "0");
    plan[MonitorPlan::regular] = "(x*)";
    plan[MonitorPlan::tindex] = "1";
    const auto result = check(addPlanWith(plan));
    EXPECT_EQ(result.matchCount, 1);
    ASSERT_EQ(db.articles().size(), 1u);
    EXPECT_EQ(db.articles()[0][ArticleRecord::title], "");
}

TEST_F(PlanInputTest, AFailedInsertStoresNothingShowsOneBoxAndTheNextCheckStoresAll) {
    servePage(BoardPage::threads(20, 3));
    const int planId = addPlan("0");
    ASSERT_TRUE(db.database().execute("alter table info rename to gone"));
    const auto result = check(planId);
    EXPECT_EQ(result.recordedCount, 0);
    EXPECT_FALSE(result.planUpdated);
    EXPECT_EQ(result.status.reason().find(gbk("无法写入数据库（错误代码：")), 0u);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, gbk("执行出错！错误代码：1"));
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], "");
    EXPECT_EQ(db.plan(planId)[MonitorPlan::lasttime], "");
    EXPECT_EQ(occurrences(log.content(), gbk("执行出错！")), 1);
    EXPECT_NE(log.content().find(closingLine()), Text::npos);
    EXPECT_FALSE(state.workerBusy);
    EXPECT_FALSE(state.newContentFound);

    ASSERT_TRUE(db.database().execute("alter table gone rename to info"));
    EXPECT_EQ(check(planId).recordedCount, 3);
    EXPECT_EQ(db.articles().size(), 3u);
}

TEST_F(PlanInputTest, AStopBeforeTheFetchDoesNothing) {
    servePage(BoardPage::threads(20, 3));
    const int planId = addPlan("0");
    state.workerBusy = true;
    state.requestStop();
    const auto result = monitorRun.run(db.plan(planId), 1);
    EXPECT_TRUE(result.abandoned);
    EXPECT_TRUE(pages.requests().empty());
    EXPECT_EQ(log.content(), "");
    EXPECT_TRUE(state.workerBusy);  // the stop action owns the flag now
}

TEST_F(PlanInputTest, AStopDuringTheFetchDropsThePage) {
    servePage(BoardPage::threads(20, 3));
    const int planId = addPlan("0");
    pages.onFetch = [&] {
        state.requestStop();
        state.clearStop();  // even a new start right away does not revive this run
    };
    const auto result = monitorRun.run(db.plan(planId), 1);
    EXPECT_TRUE(result.abandoned);
    EXPECT_EQ(log.content(), "");
    EXPECT_TRUE(cutRegion.texts().empty());
    EXPECT_TRUE(db.articles().empty());
    EXPECT_FALSE(state.newContentFound);
}

TEST_F(PlanInputTest, AStopDuringThePausesKeepsTheWholeRunAndLogsItAtOnce) {
    const Threads board = BoardPage::threads(20, 5);
    servePage(board);
    const int planId = addPlan("0");
    MonitorRun::Options slow = options();
    slow.insertPause = 30s;
    MonitorRun patient(pages, sql, log, cutRegion, state, slow);
    const auto started = std::chrono::steady_clock::now();
    std::thread stopper([&] {
        while (log.content().find(gbk("成功！SQL：")) == Text::npos) {
            std::this_thread::sleep_for(5ms);
        }
        state.requestStop();
    });
    state.workerBusy = true;
    const auto result = patient.run(db.plan(planId), 1);
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_TRUE(result.abandoned);
    // The run was committed before the pauses: all of it stays, and every line of it is logged.
    EXPECT_EQ(result.recordedCount, 5);
    EXPECT_EQ(storedTitles(), titlesOf(reversed(board)));
    EXPECT_EQ(db.plan(planId)[MonitorPlan::arttile], board.front().title);
    EXPECT_EQ(occurrences(log.content(), gbk("成功！SQL：")), 6);
    EXPECT_EQ(log.content().find(gbk("已结束")), Text::npos);
    EXPECT_TRUE(state.workerBusy);

    // Monitoring starts again: nothing is stored twice.
    state.clearStop();
    EXPECT_EQ(check(planId).recordedCount, 0);
    EXPECT_EQ(db.articles().size(), 5u);
}

}  // namespace
}  // namespace lumo::test
