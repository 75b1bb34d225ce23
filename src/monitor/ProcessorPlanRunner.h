#pragma once

#include <chrono>

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "check/CutRegionSink.h"
#include "check/MonitorState.h"
#include "check/RoundArticles.h"
#include "monitor/PlanRunner.h"
#include "store/SqlRunner.h"
#include "web/PageFetcher.h"

namespace lumo {

// The product's monitoring run: PlanProcessor::runMonitoring over the web, its fetch cut short
// when monitoring stops. What a run stores is added to `roundArticles` when one is given.
//
// Thread-safe: each run builds its own processor and page source; the collaborators are
// callable from any thread by their contracts.
class ProcessorPlanRunner : public PlanRunner {
public:
    ProcessorPlanRunner(const PageFetcher& fetcher, SqlRunner& sql, StatusLog& log,
                        MessagePresenter& messages, CutRegionSink& testEdit, MonitorState& state,
                        std::chrono::milliseconds insertPause,
                        RoundArticles* roundArticles = nullptr);

    void runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override;

private:
    const PageFetcher& fetcher_;
    SqlRunner& sql_;
    StatusLog& log_;
    MessagePresenter& messages_;
    CutRegionSink& testEdit_;
    MonitorState& state_;
    std::chrono::milliseconds insertPause_;
    RoundArticles* roundArticles_;
};

}  // namespace lumo
