#pragma once

#include <functional>
#include <vector>

#include "monitor/MonitorEvents.h"
#include "monitor/MonitorInputs.h"
#include "store/DatabaseConnection.h"

namespace lumo::cli {

// The monitoring inputs of the command line, fixed when `run` starts: the frequency (`--every`,
// else the window's initial "300"), whether rounds repeat (`--every` given), and the plans taken
// part (`--plans`, else the ticked ones). Row k of the view is the k-th of those plans; its texts
// are read from `rule` each time a run of the plan begins, so a plan saved meanwhile by the
// window is run as saved, and a plan added or deleted there does not shift the others.
//
// Of the rounds' events the terminal shows three, through its hooks: a plan's run begins
// (`planStarted`), a round that stored articles ended (`newArticles`), and monitoring stopped
// (`monitoringEnded`); the others have nothing to show without widgets.
//
// Main thread only.
class TerminalMonitorView : public MonitorInputs, public MonitorEvents {
public:
    struct Hooks {
        std::function<void()> newArticles;
        std::function<void()> monitoringEnded;
        // A plan's row could not be read when its run began (the run gets an empty plan and
        // fails in its own words).
        std::function<void(const Text& planId, const QueryResult& failure)> planUnreadable;
        // A plan's run begins (see MonitorEvents::planStarted).
        std::function<void(int position, int count, const MonitorPlan& plan)> planStarted = nullptr;
    };

    TerminalMonitorView(DatabaseConnection& database, std::vector<Text> planIds, Text frequency,
                        bool repeat, Hooks hooks);

    Text frequencyText() const override { return frequency_; }
    bool autoMonitorChecked() const override { return repeat_; }
    std::vector<int> checkedPlanRows() const override;
    TextList planRowTexts(int row) const override;

    void planStarted(int position, int count, const MonitorPlan& plan) override;
    void roundEnded(bool newArticles) override;
    void monitoringStopped() override;

private:
    DatabaseConnection& database_;
    std::vector<Text> planIds_;
    Text frequency_;
    bool repeat_;
    Hooks hooks_;
};

}  // namespace lumo::cli
