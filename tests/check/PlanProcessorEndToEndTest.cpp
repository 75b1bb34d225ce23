// Plan processing through the real page fetch against a local HTTP server.
#include <gtest/gtest.h>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "support/CheckRig.h"
#include "support/LocalHttpServer.h"
#include "testkit/BoardPage.h"

namespace lumo::test {
namespace {

class PlanProcessorEndToEndTest : public ::testing::Test, protected CheckRig {
protected:
    PlanProcessorEndToEndTest() : CheckRig(quickOptions()) {}

    static FetchOptions quickOptions() {
        FetchOptions options;
        options.connectTimeout = std::chrono::milliseconds(5000);
        options.idleTimeout = std::chrono::milliseconds(5000);
        return options;
    }

    LocalHttpServer server;
};

TEST_F(PlanProcessorEndToEndTest, MonitorsGbkAndUtf8BoardsOverHttp) {
    const auto board = BoardPage::threads(150, 50);
    server.page("/gbk", BoardPage::gbkPage(board), "text/html; charset=gbk");
    server.page("/utf8", BoardPage::utf8Page(board), "text/html; charset=utf-8");

    MonitorPlan gbkPlan = BoardPage::plan(server.url("/gbk"), true, "0");
    gbkPlan[MonitorPlan::cookie] = "sid=7";
    MonitorPlan utf8Plan = BoardPage::plan(server.url("/utf8"), false, "2");
    db.addPlan(gbkPlan);
    db.addPlan(utf8Plan);

    EXPECT_EQ(monitorRun.run(gbkPlan, 1).recordedCount, 50);
    const ReceivedRequest request = server.lastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.header("User-Agent"), gbkPlan[MonitorPlan::ua]);
    EXPECT_EQ(request.header("Cookie"), "sid=7");
    EXPECT_EQ(request.header("Referer"), gbkPlan[MonitorPlan::url]);

    EXPECT_EQ(monitorRun.run(utf8Plan, 2).recordedCount, 50);
    EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0);

    const auto articles = db.articles();
    ASSERT_EQ(articles.size(), 100u);
    EXPECT_EQ(articles[49][ArticleRecord::title], board.front().title);
    EXPECT_EQ(articles[99][ArticleRecord::title], board.front().title);
    EXPECT_NE(log.content().find(gbk("\r\n任务2已结束----")), Text::npos);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(PlanProcessorEndToEndTest, TheRuleTestShowsTheLivePage) {
    server.page("/board", BoardPage::gbkPage(BoardPage::threads(20, 5)));
    const auto result = ruleTest.testPlan(BoardPage::plan(server.url("/board"), true));
    EXPECT_TRUE(result.enableSaveButton);
    ASSERT_EQ(result.rows.size(), 5u);
    EXPECT_EQ(result.rows[0][2], "20");
}

TEST_F(PlanProcessorEndToEndTest, AnUnreachablePageIsAnEmptyPage) {
    MonitorPlan plan = BoardPage::plan(server.url("/board"), true, "0");
    server.stop();
    db.addPlan(plan);
    const auto result = monitorRun.run(plan, 1);
    EXPECT_EQ(result.matchCount, 0);
    EXPECT_EQ(log.content().find(gbk("出错！截取源码为空，请检查方案的采集区域！")), 0u);
}

}  // namespace
}  // namespace lumo::test
