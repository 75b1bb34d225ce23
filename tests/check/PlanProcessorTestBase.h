#pragma once

#include "support/FixedTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/MonitorRun.h"
#include "check/MonitorState.h"
#include "check/PlanPage.h"
#include "check/RuleTest.h"
#include "store/SqlRunner.h"
#include "support/FakeCutRegionSink.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakePageSource.h"
#include "support/FakeStatusLog.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

namespace lumo::test {

// A monitoring run and a rule test wired to a temporary lumo.sdb, canned pages, recording fakes, no
// pause after inserts and a clock that always says 2014-11-5 9:3:7.
class PlanProcessorTestBase : public ::testing::Test {
protected:
    static constexpr const char* kUrl = "http://bbs.example.test/forum-12-1.html";
    static constexpr const char* kNow = test::kFixedTimeText;

    static std::chrono::system_clock::time_point fixedTime() { return test::fixedTime(); }

    static MonitorRun::Options options() {
        MonitorRun::Options o;
        o.insertPause = std::chrono::milliseconds(0);
        o.clock = [] { return fixedTime(); };
        return o;
    }
    static RuleTest::Options ruleTestOptions() {
        RuleTest::Options o;
        o.clock = [] { return fixedTime(); };
        return o;
    }

    // A stored plan reading board pages at kUrl.
    int addPlan(const Text& type, bool gbkPage = true) {
        MonitorPlan plan = BoardPage::plan(kUrl, gbkPage, type);
        return db.addPlan(plan);
    }

    void servePage(const std::vector<BoardPage::Thread>& threads, bool gbkPage = true) {
        pages.setPage(kUrl, gbkPage ? BoardPage::gbkPage(threads) : BoardPage::utf8Page(threads));
    }

    // One monitoring run of the plan as stored now (what the reloaded plan list would hold), as
    // the first plan of a round.
    MonitorRunResult check(int planId) {
        state.workerBusy = true;
        return monitorRun.run(db.plan(planId), 1);
    }

    // Titles of the rows of info, in id order.
    std::vector<Text> storedTitles() {
        std::vector<Text> titles;
        for (const ArticleRecord& a : db.articles()) titles.push_back(a[ArticleRecord::title]);
        return titles;
    }

    static std::vector<Text> titlesOf(const std::vector<BoardPage::Thread>& threads) {
        std::vector<Text> titles;
        for (const auto& t : threads) titles.push_back(t.title);
        return titles;
    }

    static std::vector<BoardPage::Thread> reversed(std::vector<BoardPage::Thread> threads) {
        return {threads.rbegin(), threads.rend()};
    }

    // How often `what` occurs in `text`.
    static int occurrences(const Text& text, const Text& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != Text::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    Text closingLine() const { return gbk("\r\n任务1已结束----") + kNow; }

    TempDatabase db;
    FakeStatusLog log;
    FakeMessagePresenter messages;
    SqlRunner sql{db.database(), log, messages};
    FakePageSource pages;
    FakeCutRegionSink cutRegion;
    MonitorState state;
    MonitorRun monitorRun{pages, sql, log, cutRegion, state, options()};
    RuleTest ruleTest{pages, log, messages, cutRegion, ruleTestOptions()};
};

}  // namespace lumo::test
