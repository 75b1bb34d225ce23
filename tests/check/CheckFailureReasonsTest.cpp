// Why a check failed, as the log and the result say it, against local servers failing each way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "check/CheckReasons.h"
#include "support/CheckRig.h"
#include "support/LocalHttpServer.h"
#include "support/TestCertificate.h"
#include "testkit/BoardPage.h"

namespace lumo::test {
namespace {

using namespace std::chrono_literals;

class CheckFailureReasonsTest : public ::testing::Test, protected CheckRig {
protected:
    CheckFailureReasonsTest() : CheckRig(quickOptions()) {}

    static FetchOptions quickOptions() {
        FetchOptions options;
        options.connectTimeout = 5s;
        options.idleTimeout = 1s;
        options.maxRedirects = 5;
        options.maxBodyBytes = 64 * 1024;
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

    using Kind = Status::Kind;
    // What failed: the fetch's own kind and curl's code, else the page's (the error status as
    // the code).
    const struct {
        std::string url;
        const char* reason;
        Kind kind;
        int code;
    } cases[] = {
        {"http://lumo-board.invalid/forum.html", "无法解析主机名", Kind::Failed, 6},
        {closed.url("/board"), "无法连接：连接被拒绝", Kind::Failed, 7},
        {server.url("/silent"), "超时：1 秒内没有收到任何数据", Kind::TimedOut, 42},
        {secure.url("/board"), "TLS 证书验证失败", Kind::Failed, 60},
        {server.url("/loop"), "重定向次数过多（超过 5 次）", Kind::Failed, 47},
        {server.url("/huge"), "页面超过大小上限（64 KiB）", Kind::Failed, 63},
        {server.url("/forbidden"), "服务器返回 HTTP 403，源码中找不到开始标记", Kind::Missing, 403},
        {server.url("/down"), "服务器返回 HTTP 503，源码中找不到开始标记", Kind::Missing, 503},
        {server.url("/changed"), "源码中找不到开始标记", Kind::Missing, 0},
    };
    for (const auto& c : cases) {
        const MonitorRunResult result = check(c.url);
        EXPECT_EQ(gbkToUtf8(result.status.reason()), c.reason) << c.url;
        EXPECT_EQ(result.status.kind(), c.kind) << c.url;
        EXPECT_EQ(result.status.code(), c.code) << c.url;
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
    EXPECT_EQ(gbkToUtf8(result.status.reason()), "开始标记与结束标记之间没有内容");
    EXPECT_EQ(result.status.kind(), Status::Kind::Empty);

    const MonitorPlan plan = BoardPage::plan(server.url("/none"), true);
    server.page("/none", "<html>" + plan[MonitorPlan::before] + "<tr><td>" + gbk("暂无主题") +
                             "</td></tr>" + plan[MonitorPlan::after] + "</html>");
    result = check(server.url("/none"));
    EXPECT_EQ(gbkToUtf8(result.status.reason()), "采集区域里没有匹配到任何文章");
    EXPECT_EQ(result.status.kind(), Status::Kind::Empty);
    EXPECT_EQ(gbkToUtf8(log.content()).find("\r\n出错！采集区域里没有匹配到任何文章----"), 0u);

    // An error status whose page still holds the board: the articles are taken, the check fails.
    const Text board = BoardPage::gbkPage(BoardPage::threads(20, 5));
    server.route("/stale", [&](const ReceivedRequest&) { return answer(503, board); });
    result = check(server.url("/stale"));
    EXPECT_EQ(result.recordedCount, 5);
    EXPECT_EQ(result.httpStatus, 503);
    EXPECT_EQ(gbkToUtf8(result.status.reason()), "服务器返回 HTTP 503");
    EXPECT_EQ(result.status.kind(), Status::Kind::Refused);
    EXPECT_EQ(result.status.code(), 503);
    EXPECT_NE(
        gbkToUtf8(log.content()).find("\r\n出错！服务器返回 HTTP 503，仍按返回的页面处理----"),
        std::string::npos);

    // A page that works again: no failure.
    server.page("/stale", BoardPage::gbkPage(BoardPage::threads(21, 6)));
    EXPECT_TRUE(check(server.url("/stale")).status.ok());
}

TEST_F(CheckFailureReasonsTest, TheRuleTestShowsTheReasonInItsMessage) {
    closed.stop();
    ruleTest.testPlan(BoardPage::plan(closed.url("/board"), true));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(gbkToUtf8(messages.messages()[0].text),
              "匹配结果为0,请检查正则匹配规则!（无法连接：连接被拒绝）");
}

// What an empty region lacks decides the failure's kind; a failed fetch keeps its own Status.
TEST(CheckFailureKindsTest, AnEmptyRegionSaysWhatThePageLacks) {
    using Kind = Status::Kind;
    const Text page = "<ul><li>a</li></ul>";
    const struct {
        Text page, before, after;
        Kind kind;
        const char* reason;
    } cases[] = {
        {"", "<ul>", "</ul>", Kind::Empty, "页面为空"},
        {page, "<ol>", "</ul>", Kind::Missing, "源码中找不到开始标记"},
        {page, "<ul>", "</ol>", Kind::Missing, "开始标记之后找不到结束标记"},
        {page, "<ul>", "", Kind::Refused, "结束标记为空"},
        {page, "<ul>", "<li>", Kind::Empty, "开始标记与结束标记之间没有内容"},
    };
    for (const auto& c : cases) {
        const Status failure = emptyRegionFailure(c.page, FetchNote{}, c.before, c.after);
        EXPECT_EQ(failure.kind(), c.kind) << c.reason;
        EXPECT_EQ(gbkToUtf8(failure.reason()), c.reason);
        EXPECT_EQ(failure.code(), 0);
    }
    const Status cancelled = Status::failure(Kind::Cancelled, gbk("已取消"), 42);
    const Status fetch = emptyRegionFailure("", FetchNote{cancelled, 0}, "<ul>", "</ul>");
    EXPECT_EQ(fetch.kind(), Kind::Cancelled);
    EXPECT_EQ(fetch.code(), 42);
    EXPECT_EQ(fetch.reason(), gbk("已取消"));

    // No article in a region: Empty; a refused pattern keeps its kind; the status comes first.
    EXPECT_EQ(noMatchFailure(Status(), 0).kind(), Kind::Empty);
    const Status refused = noMatchFailure(Status::failure(Kind::Refused, "bad"), 404);
    EXPECT_EQ(refused.kind(), Kind::Refused);
    EXPECT_EQ(refused.code(), 404);
    EXPECT_EQ(gbkToUtf8(refused.reason()), "服务器返回 HTTP 404，正则匹配失败：bad");
    EXPECT_TRUE(errorStatusFailure(399).ok());
    EXPECT_EQ(withReason("x", Status()), "x");
}

}  // namespace
}  // namespace lumo::test
