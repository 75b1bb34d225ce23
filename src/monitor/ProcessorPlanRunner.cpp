#include "monitor/ProcessorPlanRunner.h"

#include <algorithm>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/MonitorRun.h"
#include "check/WebPageSource.h"

namespace lumo {
namespace {

PlanOutcome outcomeOf(const MonitorRunResult& result) {
    if (result.abandoned) return PlanOutcome::abandoned(result.recordedCount);
    if (!result.status.ok()) return PlanOutcome::failed(result.status, result.recordedCount);
    return PlanOutcome::stored(result.recordedCount);
}

}  // namespace

ProcessorPlanRunner::ProcessorPlanRunner(const PageFetcher& fetcher, SqlRunner& sql, StatusLog& log,
                                         CutRegionSink& cutRegion, MonitorState& state,
                                         std::chrono::milliseconds insertPause, Health health,
                                         RoundArticles* roundArticles)
    : fetcher_(fetcher),
      sql_(sql),
      log_(log),
      cutRegion_(cutRegion),
      state_(state),
      insertPause_(insertPause),
      brokenAfter_(health.brokenAfter),
      healthObserver_(health.observer),
      roundArticles_(roundArticles) {}

PlanOutcome ProcessorPlanRunner::runPlan(const MonitorPlan& plan, int position,
                                         std::stop_token stop) {
    WebPageSource pages(fetcher_, std::move(stop));
    MonitorRun::Options options;
    options.insertPause = insertPause_;
    options.roundArticles = roundArticles_;
    options.pendingHealth = &pendingHealth_;
    options.writesHeldHealth = position >= state_.checkedCount.load();
    const MonitorRunResult result =
        MonitorRun(pages, sql_, log_, cutRegion_, state_, options).run(plan, position);
    if (result.abandoned) return outcomeOf(result);
    const HealthChange change = healthChangeOf(result, brokenAfter_.load());
    const Text& name = plan[MonitorPlan::name];
    if (change == HealthChange::Broken) {
        log_.append(gbk("\r\n方案失效：") + name + gbk("（连续 ") +
                    textOfInteger(result.health->failures) + gbk(" 次检查失败，自 ") +
                    result.health->failingSince + gbk(" 起；原因：") + result.health->reason +
                    gbk("）----") + result.health->checked);
    } else if (change == HealthChange::Recovered) {
        log_.append(gbk("\r\n方案恢复正常：") + name + "----" + result.health->checked);
    }
    if (healthObserver_ != nullptr) healthObserver_->checkEnded(plan, result, change);
    return outcomeOf(result);
}

DatabaseConnection::BatchOutcome ProcessorPlanRunner::writeHeldHealth() {
    return MonitorRun::writeHeldHealth(pendingHealth_, sql_, log_);
}

void ProcessorPlanRunner::setBrokenAfter(int brokenAfter) {
    brokenAfter_.store(std::max(1, brokenAfter));
}

}  // namespace lumo
