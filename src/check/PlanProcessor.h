#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "base/MessagePresenter.h"
#include "base/NowText.h"
#include "base/StatusLog.h"
#include "base/Text.h"
#include "check/ArticleMatches.h"
#include "check/CutRegionSink.h"
#include "check/JudgementMode.h"
#include "check/MonitorPlan.h"
#include "check/MonitorRunResult.h"
#include "check/MonitorState.h"
#include "check/PageSource.h"
#include "check/RoundArticles.h"
#include "check/RuleTestResult.h"
#include "store/PlanHealth.h"
#include "store/SqlRunner.h"

namespace lumo {

// Carries one monitoring plan through one check: fetch the page, turn it into GBK text, cut the
// plan's region out, match the article pattern, and then either
// - runTest(): report every match's sub-match texts for the plan editor's test list, or
// - runMonitoring(): decide which matches are new articles by the plan's JudgementMode, insert
//   each into `info`, and move the plan's last-seen fields in `rule` forward.
//
// A plan whose `arttile` and `lasttime` are both empty has never been checked: whatever its mode,
// its first check records every match of the region between its own markers and sets the marker.
// In 时间正序 (OldestFirst) the marker kept is the title of the last match on the page, the newest
// article, so the next check starts after everything recorded now.
//
// The marker is the title of an article, not a piece of text: in the positional modes the region
// ends (NewestFirst) or starts (OldestFirst) at the match whose title equals the marker exactly,
// the one nearest the newest end of the page, so a newer title that merely contains the marker
// does not cut the region short. An empty marker of a checked plan is such a title too.
//
// A monitoring run judges every match first and then writes all its inserts and the plan update
// as one transaction: a failure, a kill or a stop leaves either the whole run or nothing.
//
// Thread-safety: the processor holds only references and options; every run keeps its state on
// the stack. A rule test (on a thread of its own) may overlap a monitoring run on a worker. All
// collaborators must be callable from the calling thread (StatusLog, MessagePresenter, SqlRunner
// and TestEditSink are, by their contracts).
class PlanProcessor {
public:
    struct Options {
        // Pause after the log line of each stored article (after the commit); a stop cuts it
        // short.
        std::chrono::milliseconds insertPause{500};
        // Matches taken from one page at most, in a check and in a rule test.
        int maxMatches = ArticleMatches::kDefaultMaxMatches;
        // The time the pattern's search of one check or rule test may take; a stop ends a
        // monitoring run's search at once.
        std::chrono::milliseconds searchTimeLimit = ArticleMatches::kDefaultTimeLimit;
        // Source of nowText(); empty means the system clock.
        Clock clock;
        // Where a run's committed articles go for the round's alert; none when null.
        RoundArticles* roundArticles = nullptr;
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

    // What a fetch of a plan's page sends besides the address: the header line "User-Agent: " +
    // the plan's user agent, and its cookie, each field up to its first CR, LF or NUL, so that no
    // stored plan can add header lines of its own. `cutLine` is empty, or the log line that names
    // the fields that were cut, ending in "----" + `now`.
    struct RequestHeaders {
        Text headers;
        Text cookie;
        Text cutLine;
    };
    static RequestHeaders requestHeadersOf(const MonitorPlan& plan, const Text& now);

    // The "规则测试" button: for a blocked address shows "此站不允许监控!" and returns a result
    // with `ran` false; otherwise runTest(). Uses the plan's name, url, code, before, after,
    // regular, buquan, cookie and ua (the editor's fields as they stand, saved or not).
    RuleTestResult testPlan(const MonitorPlan& plan);

    // A rule test: the region between the plan's own markers and every match in it, as table
    // data. With no match it shows "匹配结果为0,请检查正则匹配规则!" and returns empty columns and
    // rows. Touches neither the database nor the shared monitoring flags.
    // `stopped` (when set) is asked during the search; once it says yes the search ends with no
    // match.
    RuleTestResult runTest(const MonitorPlan& plan, const std::function<bool()>& stopped = {});

    // One monitoring run of `plan` (the plan list's row, copied when the run starts) at 1-based
    // `position` in the round, for the closing log line. Steps: cut, match, judge, record. The
    // inserts of the new articles and the plan update are committed as one transaction; then
    // each statement's line is logged in order, with the pause after each article's line. A
    // failed transaction stores nothing, logs one failure line and shows one box. Then the
    // closing line is logged and workerBusy cleared; newContentFound rises only when articles
    // were stored.
    //
    // A stop (MonitorState::requestStop) before the commit abandons the run: nothing is written
    // (no row, no update, no log line, no flag). A stop during the pauses after the commit cuts
    // them short: the remaining lines of what was stored are logged at once, without the
    // closing line. Either way the result has `abandoned` set and workerBusy is left alone.
    MonitorRunResult runMonitoring(MonitorPlan plan, int position);

private:
    // The new matches of a check: numbers first..last (none when last < first), and the region
    // they were judged from, for 测试编辑框.
    struct NewMatches {
        int first = 1;
        int last = 0;
        Text cut;
    };
    // What a check will write: the inserts, in storing order, then the plan update.
    struct RunWrites {
        TextList statements;
        int inserts = 0;
        // The articles the inserts store, newest on the page first.
        std::vector<StoredArticle> articles;
    };

    Text fetchPageText(const MonitorPlan& plan, FetchNote& note);
    // A region with no match, or an error status whose page gave matches: the check failed.
    void logPageProblems(const ArticleMatches& matches, const FetchNote& note,
                         MonitorRunResult& result);
    // The plan's health before this check (none when never checked or unreadable; the result's
    // failuresBefore says which).
    std::optional<PlanHealthRecord> healthBefore(const Text& planId, MonitorRunResult& result);
    // The health of a check that stored nothing else, in a transaction of its own.
    void recordHealthAlone(const Text& planId, const std::optional<PlanHealthRecord>& before,
                           MonitorRunResult& result);
    void logMatchProblems(const ArticleMatches& matches, MonitorRunResult& result);
    NewMatches chooseNewMatches(const MonitorPlan& plan, JudgementMode mode, const Text& page,
                                const ArticleMatches& matches);
    RunWrites judge(const MonitorPlan& plan, JudgementMode mode, const ArticleMatches& matches,
                    const NewMatches& chosen);
    void record(const MonitorPlan& plan, const RunWrites& writes, std::uint64_t generation,
                MonitorRunResult& result);
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
