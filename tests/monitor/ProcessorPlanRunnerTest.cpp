#include "monitor/ProcessorPlanRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "base/GbkCodec.h"
#include "curl/CurlPageFetcher.h"
#include "support/FakeCutRegionSink.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

namespace lumo {
namespace {

using namespace std::chrono_literals;

test::ServedResponse silence(const test::ReceivedRequest&) {
    test::ServedResponse response;
    response.neverAnswer = true;
    return response;
}

// The product's monitoring run against a local site, with a fetcher that gives up quickly.
class ProcessorPlanRunnerTest : public ::testing::Test {
protected:
    ProcessorPlanRunnerTest() {
        FetchOptions options;
        options.connectTimeout = 1000ms;
        options.idleTimeout = 400ms;
        fetcher = std::make_unique<CurlPageFetcher>(options);
        runner = std::make_unique<ProcessorPlanRunner>(*fetcher, sql, log, cutRegion, state, 1ms);
    }

    MonitorPlan addPlan(const std::string& path) {
        MonitorPlan plan = test::BoardPage::plan(site.url(path), true);
        database.addPlan(plan);
        return plan;
    }

    test::LocalHttpServer site;
    test::TempDatabase database;
    test::FakeStatusLog log;
    test::FakeMessagePresenter messages;
    test::FakeCutRegionSink cutRegion;
    MonitorState state;
    SqlRunner sql{database.database(), log, messages};
    std::unique_ptr<CurlPageFetcher> fetcher;
    std::unique_ptr<ProcessorPlanRunner> runner;
};

TEST_F(ProcessorPlanRunnerTest, PagesThatFailEndTheRunWithinTheFetchLimits) {
    site.route("/silent", silence);
    site.page("/empty", "");
    site.page("/good", test::BoardPage::gbkPage(test::BoardPage::threads(30, 3)));
    const Text closing = gbk("\r\n任务");
    int position = 0;
    for (const char* path : {"/silent", "/missing", "/empty", "/good"}) {
        SCOPED_TRACE(path);
        ++position;
        const MonitorPlan plan = addPlan(path);
        state.workerBusy = true;
        const auto started = std::chrono::steady_clock::now();
        const PlanOutcome outcome = runner->runPlan(plan, position, {});
        EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
        // The check's outcome: only the good page worked, and stored its three articles.
        const bool good = std::string(path) == "/good";
        EXPECT_EQ(outcome.kind, good ? PlanOutcome::Kind::NewArticles : PlanOutcome::Kind::Failed);
        EXPECT_EQ(outcome.newArticles, good ? 3 : 0);
        EXPECT_EQ(outcome.status.ok(), good);
        EXPECT_FALSE(state.workerBusy);
        EXPECT_NE(log.content().find(closing + textOfInteger(position) + gbk("已结束----")),
                  Text::npos);
    }
    EXPECT_EQ(database.articles().size(), 3u);  // only the good page had articles
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ProcessorPlanRunnerTest, ANewThresholdCountsFromTheNextCheck) {
    const MonitorPlan plan = addPlan("/missing");
    const Text broken = gbk("\r\n方案失效：");
    runner->setBrokenAfter(2);
    runner->runPlan(plan, 1, {});
    EXPECT_EQ(log.content().find(broken), Text::npos);
    runner->runPlan(plan, 1, {});
    const std::size_t first = log.content().find(broken);
    ASSERT_NE(first, Text::npos);
    EXPECT_NE(log.content().find(gbk("（连续 2 次检查失败"), first), Text::npos);
    // Reported once a spell: a lower threshold now does not report it again.
    runner->setBrokenAfter(1);
    runner->runPlan(plan, 1, {});
    EXPECT_EQ(log.content().find(broken, first + 1), Text::npos);
}

TEST_F(ProcessorPlanRunnerTest, AStopCutsAFetchUnderWayShortAndTheRunWritesNothing) {
    site.route("/silent", silence);
    FetchOptions patient;
    patient.idleTimeout = 60s;
    CurlPageFetcher slowFetcher(patient);
    ProcessorPlanRunner slowRunner(slowFetcher, sql, log, cutRegion, state, 1ms);
    const MonitorPlan plan = addPlan("/silent");
    std::stop_source stop;
    state.workerBusy = true;
    auto run = std::async(std::launch::async,
                          [&] { return slowRunner.runPlan(plan, 1, stop.get_token()); });
    for (int i = 0; i < 200 && site.requestCount() == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(site.requestCount(), 1u);
    const auto stopped = std::chrono::steady_clock::now();
    state.requestStop();
    stop.request_stop();
    ASSERT_EQ(run.wait_for(3s), std::future_status::ready);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    EXPECT_EQ(run.get().kind, PlanOutcome::Kind::Abandoned);
    EXPECT_EQ(log.content(), "");
    EXPECT_TRUE(state.workerBusy);  // left to the engine, which cleared it when it stopped
    EXPECT_TRUE(database.articles().empty());
}

}  // namespace
}  // namespace lumo
