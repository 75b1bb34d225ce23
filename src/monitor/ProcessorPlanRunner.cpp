#include "monitor/ProcessorPlanRunner.h"

#include "check/PlanProcessor.h"
#include "check/WebPageSource.h"

namespace lumo {

ProcessorPlanRunner::ProcessorPlanRunner(const PageFetcher& fetcher, SqlRunner& sql, StatusLog& log,
                                         MessagePresenter& messages, CutRegionSink& testEdit,
                                         MonitorState& state, std::chrono::milliseconds insertPause,
                                         RoundArticles* roundArticles)
    : fetcher_(fetcher),
      sql_(sql),
      log_(log),
      messages_(messages),
      testEdit_(testEdit),
      state_(state),
      insertPause_(insertPause),
      roundArticles_(roundArticles) {}

void ProcessorPlanRunner::runPlan(const MonitorPlan& plan, int position, std::stop_token stop) {
    WebPageSource pages(fetcher_, std::move(stop));
    PlanProcessor::Options options;
    options.insertPause = insertPause_;
    options.roundArticles = roundArticles_;
    PlanProcessor processor(pages, sql_, log_, messages_, testEdit_, state_, options);
    processor.runMonitoring(plan, position);
}

}  // namespace lumo
