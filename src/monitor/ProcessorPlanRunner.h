#pragma once

#include <atomic>

#include <chrono>

#include "base/StatusLog.h"
#include "check/CutRegionSink.h"
#include "check/MonitorState.h"
#include "check/RoundArticles.h"
#include "http/PageFetcher.h"
#include "monitor/PlanHealthObserver.h"
#include "monitor/PlanRunner.h"
#include "store/PendingHealth.h"
#include "store/SqlRunner.h"

namespace lumo {

// When a plan counts as broken, and who hears of its checks (see ProcessorPlanRunner).
struct PlanHealthSettings {
    static constexpr int kDefaultBrokenAfter = 3;
    int brokenAfter = kDefaultBrokenAfter;
    PlanHealthObserver* observer = nullptr;
};

// The product's monitoring run: MonitorRun over the web, its fetch cut short
// when monitoring stops. What a run stores is added to `roundArticles` when one is given.
//
// Thread-safe: each run builds its own processor and page source; the collaborators are
// callable from any thread by their contracts.
//
// After each check it tells the plan's health: a plan whose checks failed `brokenAfter` times in
// a row is broken, and the log gets one line when it becomes so and one when it works again:
//   CR LF "方案失效：" name "（连续 " n " 次检查失败，自 " since " 起；原因：" reason "）----" now
//   CR LF "方案恢复正常：" name "----" now
// and the observer (when given) hears of every check and change. setBrokenAfter() changes the
// threshold from the next check on. The records of steady checks (nothing new, no failure before)
// wait and are written together by the round's last check (PendingHealth), or by
// writeHeldHealth() when a stop ended the round before it.
class ProcessorPlanRunner : public PlanRunner {
public:
    static constexpr int kDefaultBrokenAfter = PlanHealthSettings::kDefaultBrokenAfter;
    using Health = PlanHealthSettings;

    ProcessorPlanRunner(const PageFetcher& fetcher, SqlRunner& sql, StatusLog& log,
                        CutRegionSink& cutRegion, MonitorState& state,
                        std::chrono::milliseconds insertPause, Health health = Health(),
                        RoundArticles* roundArticles = nullptr);

    // The check's outcome: Failed with its Status, else the articles it stored; Abandoned after
    // a stop.
    PlanOutcome runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override;

    // Any thread; at least 1.
    void setBrokenAfter(int brokenAfter);

    // Writes the steady checks' records that a round stopped before its last check left held,
    // so that a stop and a close lose none. Call only when no check runs (after the engine's
    // shutdown); a failure is logged, returned, and the records stay held.
    DatabaseConnection::BatchOutcome writeHeldHealth();

private:
    const PageFetcher& fetcher_;
    SqlRunner& sql_;
    StatusLog& log_;
    CutRegionSink& cutRegion_;
    MonitorState& state_;
    std::chrono::milliseconds insertPause_;
    std::atomic<int> brokenAfter_;
    PlanHealthObserver* healthObserver_;
    RoundArticles* roundArticles_;
    // The health records of steady checks, written by the round's last check.
    PendingHealth pendingHealth_;
};

}  // namespace lumo
