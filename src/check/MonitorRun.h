#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

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
#include "store/PendingHealth.h"
#include "store/PlanHealth.h"
#include "store/SqlRunner.h"

namespace lumo {

// One monitoring run of one plan: fetch the page, turn it into GBK text, cut the plan's region
// out, match the article pattern, decide which matches are new articles by the plan's
// JudgementMode, insert each into `info`, move the plan's last-seen fields in `rule` forward and
// record the check's outcome in the plan's health record.
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
// A run judges every match first and then writes all its inserts and the plan update as one
// transaction: a failure, a kill or a stop leaves either the whole run or nothing.
//
// Thread-safety: holds only references and options; every run keeps its state on the stack. The
// collaborators must be callable from the calling thread (StatusLog, SqlRunner and CutRegionSink
// are, by their contracts; MonitorState is shared by design).
class MonitorRun {
public:
    struct Options {
        // Pause after the log line of each stored article (after the commit); a stop cuts it
        // short.
        std::chrono::milliseconds insertPause{500};
        // Matches taken from one page at most.
        int maxMatches = ArticleMatches::kDefaultMaxMatches;
        // The time the pattern's search may take; a stop ends it at once.
        std::chrono::milliseconds searchTimeLimit = ArticleMatches::kDefaultTimeLimit;
        // Source of the time in log lines and rows; empty means the system clock.
        Clock clock;
        // Where a run's committed articles go for the round's alert; none when null.
        RoundArticles* roundArticles = nullptr;
        // Where a steady check's health record waits to be written with the round's others; when
        // null, each is written at once.
        PendingHealth* pendingHealth = nullptr;
        // This is the round's last check: it writes the held records (after its own).
        bool writesHeldHealth = false;
    };

    MonitorRun(PageSource& pages, SqlRunner& sql, StatusLog& log, CutRegionSink& cutRegion,
               MonitorState& state);
    MonitorRun(PageSource& pages, SqlRunner& sql, StatusLog& log, CutRegionSink& cutRegion,
               MonitorState& state, Options options);

    // One run of `plan` (the plan list's row, copied when the run starts) at 1-based `position`
    // in the round, for the closing log line. Steps: cut, match, judge, record. The inserts of
    // the new articles and the plan update are committed as one transaction; then each
    // statement's line is logged in order, with the pause after each article's line. A failed
    // transaction stores nothing, logs one failure line and shows one box. Then the closing line
    // is logged and workerBusy cleared; newContentFound rises only when articles were stored.
    //
    // A stop (MonitorState::requestStop) before the commit abandons the run: nothing is written
    // (no row, no update, no log line, no flag). A stop during the pauses after the commit cuts
    // them short: the remaining lines of what was stored are logged at once, without the
    // closing line. Either way the result has `abandoned` set and workerBusy is left alone.
    MonitorRunResult run(MonitorPlan plan, int position);

    // Writes the records `pending` holds, in one transaction on `sql`'s connection; when that
    // fails, logs CR LF "出错！方案的检查结果无法记录（错误代码：" code "）----" now, and the
    // records stay held. For a round that ended before its last check (a stop): call once no check
    // runs.
    static DatabaseConnection::BatchOutcome writeHeldHealth(PendingHealth& pending, SqlRunner& sql,
                                                            StatusLog& log,
                                                            const Clock& clock = {});

private:
    // The new matches of a check: numbers first..last (none when last < first), and the region
    // they were judged from, for the cut-region sink.
    struct NewMatches {
        int first = 1;
        int last = 0;
        Text cut;
    };
    // What a check will write: the inserts, in storing order, then the plan update.
    struct RunWrites {
        TextList statements;
        int inserts = 0;
        // The last statements, which record the plan's health: not shown in the log.
        std::size_t healthStatements = 0;
        // The articles the inserts store, newest on the page first.
        std::vector<StoredArticle> articles;
    };

    // A region with no match, or an error status whose page gave matches: the check failed.
    void logPageProblems(const ArticleMatches& matches, const FetchNote& note,
                         MonitorRunResult& result);
    // Judges the new matches and commits them, the plan update and the check's health record in
    // one transaction; result.abandoned when a stop came first or during the pauses.
    void storeWithHealth(const MonitorPlan& plan, JudgementMode mode, const ArticleMatches& matches,
                         const NewMatches& chosen, std::uint64_t generation,
                         const std::optional<PlanHealthRecord>& before, MonitorRunResult& result);
    // The plan's health before this check (none when never checked or unreadable; the result's
    // failuresBefore says which).
    std::optional<PlanHealthRecord> healthBefore(const Text& planId, MonitorRunResult& result);
    // The health of a check that stored nothing else: held for the round's write when the
    // check was steady, else in a transaction of its own.
    void recordHealthAlone(const Text& planId, const std::optional<PlanHealthRecord>& before,
                           MonitorRunResult& result);
    // The statements that record this check's health: the table's creation, the plan's held
    // record (taken from PendingHealth, and kept in `held` too) and this check's record.
    struct HealthWrite {
        TextList statements;
        std::optional<Text> held;
    };
    HealthWrite healthWrite(const Text& planId, const Text& outcome, const Text& reason,
                            const Text& checkedAt);
    // Puts the held record of a write that failed back, unless a later one is held by now.
    void holdAgain(const Text& planId, const HealthWrite& write);
    void logHealthNotStored(int errorCode);
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
    CutRegionSink& cutRegion_;
    MonitorState& state_;
    Options options_;
};

}  // namespace lumo
