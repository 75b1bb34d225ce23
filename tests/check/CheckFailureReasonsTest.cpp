// Why a check failed, as the log and the result say it, against local servers failing each way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "check/MonitorRun.h"
#include "check/RuleTest.h"
#include "check/WebPageSource.h"
#include "curl/CurlPageFetcher.h"
#include "support/FakeCutRegionSink.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "support/TestCertificate.h"
#include "testkit/BoardPage.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class CheckFailureReasonsTest : public ::testing::Test {
protected:
    static FetchOptions quickOptions() {
        FetchOptions options;
        options.connectTimeout = 5s;
        options.idleTimeout = 1s;
        options.maxRedirects = 5;
        options.maxBodyBytes = 64 * 1024;
        return options;
    }
    static MonitorRun::Options noPause() {
        MonitorRun::Options options;
        options.insertPause = 0ms;
        return options;
    }

    MonitorRunResult check(const std::string& url) {
        log.replace("");
        MonitorPlan plan = BoardPage::plan(url, true, "8");
        db.addPlan(plan);
        return monitorRun.run(plan, 1);
    }

    static ServedResponse answer(int status, std::string body) {
        ServedResponse response;
        response.status = status;
        response.reason = status == 403 ? "Forbidden" : "Service Unavailable";
        response.body = std::move(body);
        return response;
    }

    TestCertificate certificate;
    LocalHttpServer server;
    LocalHttpServer secure{certificate};
    LocalHttpServer closed;
    TempDatabase db;
    FakeStatusLog log;
    FakeMessagePresenter messages;
    SqlRunner sql{db.database(), log, messages};
    CurlPageFetcher fetcher{quickOptions()};
    WebPageSource source{fetcher};
    FakeCutRegionSink cutRegion;
    MonitorState state;
    MonitorRun monitorRun{source, sql, log, cutRegion, state, noPause()};
    RuleTest ruleTest{source, log, messages, cutRegion};
};

TEST_F(CheckFailureReasonsTest, AnEmptyRegionSaysWhyAfterTheLine) {
    const Text board = BoardPage::gbkPage(BoardPage::threads(20, 5));
    closed.stop();
    server.route("/silent", [](const ReceivedRequest&) {
        ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    server.redirect("/loop", "/loop");
    server.page("/huge", std::string(100 * 1024, 'x'));
    server.route("/forbidden",
                 [](const ReceivedRequest&) { return answer(403, "<html>please log in</html>"); });
    server.route("/down",
                 [](const ReceivedRequest&) { return answer(503, "<html>maintenance</html>"); });
    server.page("/changed", "<html><div class=\"new-layout\">threads</div></html>");
    secure.page("/board", board);

    const struct {
        std::string url;
        const char* reason;
    } cases[] = {
        {"http://lumo-board.invalid/forum.html", "无法解析主机名"},
        {closed.url("/board"), "无法连接：连接被拒绝"},
        {server.url("/silent"), "超时：1 秒内没有收到任何数据"},
        {secure.url("/board"), "TLS 证书验证失败"},
        {server.url("/loop"), "重定向次数过多（超过 5 次）"},
        {server.url("/huge"), "页面超过大小上限（64 KiB）"},
        {server.url("/forbidden"), "服务器返回 HTTP 403，源码中找不到开始标记"},
        {server.url("/down"), "服务器返回 HTTP 503，源码中找不到开始标记"},
        {server.url("/changed"), "源码中找不到开始标记"},
    };
    for (const auto& c : cases) {
        const MonitorRunResult result = check(c.url);
        EXPECT_EQ(gbkToUtf8(result.failure), c.reason) << c.url;
        // The specified line byte for byte, the reason after it on the same line.
        EXPECT_EQ(gbkToUtf8(log.content()).substr(0, gbkToUtf8(log.content()).find("\r\n")),
                  std::string("出错！截取源码为空，请检查方案的采集区域！（") + c.reason + "）")
            << c.url;
        EXPECT_EQ(result.recordedCount, 0) << c.url;
    }
    EXPECT_TRUE(db.articles().empty());
}

TEST_F(CheckFailureReasonsTest, ARegionWithoutArticlesOrAnErrorStatusFailsTheCheck) {
    server.page("/empty", BoardPage::gbkPage({}));
    MonitorRunResult result = check(server.url("/empty"));
    EXPECT_EQ(gbkToUtf8(result.failure), "开始标记与结束标记之间没有内容");

    const MonitorPlan plan = BoardPage::plan(server.url("/none"), true);
    server.page("/none", "<html>" + plan[MonitorPlan::before] + "<tr><td>" + gbk("暂无主题") +
                             "</td></tr>" + plan[MonitorPlan::after] + "</html>");
    result = check(server.url("/none"));
    EXPECT_EQ(gbkToUtf8(result.failure), "采集区域里没有匹配到任何文章");
    EXPECT_EQ(gbkToUtf8(log.content()).find("\r\n出错！采集区域里没有匹配到任何文章----"), 0u);

    // An error status whose page still holds the board: the articles are taken, the check fails.
    const Text board = BoardPage::gbkPage(BoardPage::threads(20, 5));
    server.route("/stale", [&](const ReceivedRequest&) { return answer(503, board); });
    result = check(server.url("/stale"));
    EXPECT_EQ(result.recordedCount, 5);
    EXPECT_EQ(result.httpStatus, 503);
    EXPECT_EQ(gbkToUtf8(result.failure), "服务器返回 HTTP 503");
    EXPECT_NE(
        gbkToUtf8(log.content()).find("\r\n出错！服务器返回 HTTP 503，仍按返回的页面处理----"),
        std::string::npos);

    // A page that works again: no failure.
    server.page("/stale", BoardPage::gbkPage(BoardPage::threads(21, 6)));
    EXPECT_EQ(check(server.url("/stale")).failure, "");
}

TEST_F(CheckFailureReasonsTest, TheRuleTestShowsTheReasonInItsMessage) {
    closed.stop();
    ruleTest.testPlan(BoardPage::plan(closed.url("/board"), true));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(gbkToUtf8(messages.messages()[0].text),
              "匹配结果为0,请检查正则匹配规则!（无法连接：连接被拒绝）");
}

}  // namespace
}  // namespace lumo::test
