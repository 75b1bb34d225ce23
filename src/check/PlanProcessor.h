#pragma once

#include <chrono>

#include "base/MessagePresenter.h"
#include "base/NowText.h"
#include "base/StatusLog.h"
#include "base/Text.h"
#include "check/CutRegionSink.h"
#include "check/MonitorRunResult.h"
#include "check/MonitorState.h"
#include "check/PageSource.h"
#include "check/RuleTestResult.h"
#include "store/MonitorPlan.h"
#include "store/SqlRunner.h"

namespace lumo {

// Carries one monitoring plan through one check: fetch the page, turn it into GBK text, cut the
// plan's region out, match the article pattern, and then either
// - runTest(): report every match's sub-match texts for the plan editor's test list, or
// - runMonitoring(): decide which matches are new articles by the plan's JudgementMode, insert
//   each into `info`, and move the plan's last-seen fields in `rule` forward.
//
// A plan with an empty `arttile` has never been checked and has no marker yet: whatever its mode,
// its first check takes the region between its own markers, records every match in it and sets
// the marker. In 时间正序 (OldestFirst) the marker kept is the title of the last match on the page,
// the newest article, so the next check starts after everything recorded now.
//
// Thread-safety: the processor holds only references and options; every run keeps its state on
// the stack. A rule test on the window thread may overlap a monitoring run on a worker. All
// collaborators must be callable from the calling thread (StatusLog, MessagePresenter, SqlRunner
// and TestEditSink are, by their contracts).
class PlanProcessor {
public:
    struct Options {
        // Pause after each inserted article; a stop cuts it short.
        std::chrono::milliseconds insertPause{500};
        // Source of nowText(); empty means the system clock.
        Clock clock;
    };

    // An 8-character ASCII text: an address holding it anywhere (with case) may not be tested.
    // It is the publisher's own site, which the tool is not to be aimed at.
    static constexpr const char* kBlockedSiteMarker = "lumosoft";

    PlanProcessor(PageSource& pages, SqlRunner& sql, StatusLog& log, MessagePresenter& messages,
                  CutRegionSink& testEdit, MonitorState& state);
    PlanProcessor(PageSource& pages, SqlRunner& sql, StatusLog& log, MessagePresenter& messages,
                  CutRegionSink& testEdit, MonitorState& state, Options options);

    // True when the address contains kBlockedSiteMarker.
    static bool isBlockedAddress(const Text& url);

    // The "规则测试" button: for a blocked address shows "此站不允许监控!" and returns a result
    // with `ran` false; otherwise runTest(). Uses the plan's name, url, code, before, after,
    // regular, buquan, cookie and ua (the editor's fields as they stand, saved or not).
    RuleTestResult testPlan(const MonitorPlan& plan);

    // A rule test: the region between the plan's own markers and every match in it, as table
    // data. With no match it shows "匹配结果为0,请检查正则匹配规则!" and returns empty columns and
    // rows. Touches neither the database nor the shared monitoring flags.
    RuleTestResult runTest(const MonitorPlan& plan);

    // One monitoring run of `plan` (the plan list's row, copied when the run starts) at 1-based
    // `position` in the round, for the closing log line. Records the new articles, updates the
    // plan, logs the closing line and clears workerBusy; sets newContentFound as new articles
    // are found. A stop (MonitorState::requestStop) is checked before the fetch, before each
    // insert and before the plan update, and cuts the pause short: an abandoned run writes
    // nothing more (no row, no update, no log line, no flag) and returns with `abandoned` set.
    MonitorRunResult runMonitoring(MonitorPlan plan, int position);

private:
    Text fetchPageText(const MonitorPlan& plan);
    Text now() const;

    PageSource& pages_;
    SqlRunner& sql_;
    StatusLog& log_;
    MessagePresenter& messages_;
    CutRegionSink& testEdit_;
    MonitorState& state_;
    Options options_;
};

}  // namespace lumo
