#pragma once

#include <chrono>
#include <functional>

#include "base/MessagePresenter.h"
#include "base/NowText.h"
#include "base/StatusLog.h"
#include "check/ArticleMatches.h"
#include "check/CutRegionSink.h"
#include "check/MonitorPlan.h"
#include "check/PageSource.h"
#include "check/RuleTestResult.h"

namespace lumo {

// The plan editor's "规则测试": fetch a plan's page, cut the region between its own markers and
// list every match of its pattern, as table data. Touches neither the database nor any
// monitoring state, so a rule test may run beside the monitoring rounds.
//
// Thread-safety: holds only references and options; every test keeps its state on the stack.
// The collaborators must be callable from the calling thread (StatusLog, MessagePresenter and
// CutRegionSink are, by their contracts).
class RuleTest {
public:
    struct Options {
        // Matches listed at most.
        int maxMatches = ArticleMatches::kDefaultMaxMatches;
        // The time the pattern's search may take.
        std::chrono::milliseconds searchTimeLimit = ArticleMatches::kDefaultTimeLimit;
        // Source of the time in log lines; empty means the system clock.
        Clock clock;
    };

    RuleTest(PageSource& pages, StatusLog& log, MessagePresenter& messages,
             CutRegionSink& cutRegion);
    RuleTest(PageSource& pages, StatusLog& log, MessagePresenter& messages,
             CutRegionSink& cutRegion, Options options);

    // The "规则测试" button: for a blocked address (PlanPage::isBlockedAddress) shows
    // "此站不允许监控!" and returns a result with `ran` false; otherwise run(). Uses the plan's
    // name, url, code, before, after, regular, buquan, cookie and ua (the editor's fields as they
    // stand, saved or not).
    RuleTestResult testPlan(const MonitorPlan& plan);

    // The test itself: the region goes to the cut-region sink, and with no match it shows
    // "匹配结果为0,请检查正则匹配规则!" and returns empty columns and rows. `stopped` (when set)
    // is asked during the search; once it says yes the search ends with no match.
    RuleTestResult run(const MonitorPlan& plan, const std::function<bool()>& stopped = {});

private:
    PageSource& pages_;
    StatusLog& log_;
    MessagePresenter& messages_;
    CutRegionSink& cutRegion_;
    Options options_;
};

}  // namespace lumo
