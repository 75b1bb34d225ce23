#pragma once

#include <chrono>

#include "app/MessagePresenter.h"
#include "app/StatusLog.h"
#include "monitor/MonitorState.h"
#include "monitor/PlanRunner.h"
#include "monitor/TestEditSink.h"
#include "store/SqlRunner.h"
#include "web/PageFetcher.h"

namespace lumo {

// The product's monitoring run: PlanProcessor::runMonitoring over the web, its fetch cut short
// when monitoring stops.
//
// Thread-safe: each run builds its own processor and page source; the collaborators are
// callable from any thread by their contracts.
class ProcessorPlanRunner : public PlanRunner {
public:
    ProcessorPlanRunner(const PageFetcher& fetcher, SqlRunner& sql, StatusLog& log,
                        MessagePresenter& messages, TestEditSink& testEdit, MonitorState& state,
                        std::chrono::milliseconds insertPause);

    void runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override;

private:
    const PageFetcher& fetcher_;
    SqlRunner& sql_;
    StatusLog& log_;
    MessagePresenter& messages_;
    TestEditSink& testEdit_;
    MonitorState& state_;
    std::chrono::milliseconds insertPause_;
};

}  // namespace lumo
