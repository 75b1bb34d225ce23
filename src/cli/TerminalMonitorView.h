#pragma once

#include <functional>
#include <vector>

#include "monitor/MonitorView.h"
#include "store/DatabaseConnection.h"

namespace lumo::cli {

// The monitoring inputs of the command line, fixed when `run` starts: the frequency (`--every`,
// else the window's initial "300"), whether rounds repeat (`--every` given), and the plans taken
// part (`--plans`, else the ticked ones). Row k of the view is the k-th of those plans; its texts
// are read from `rule` each time a run of the plan begins, so a plan saved meanwhile by the
// window is run as saved, and a plan added or deleted there does not shift the others.
//
// There are no widgets: captions, visibility and the page switch are ignored. The engine's
// reload of the latest articles becomes `newArticles`; the release of the inputs, which happens
// whenever monitoring ends or fails to start, becomes `monitoringEnded`.
//
// Main thread only.
class TerminalMonitorView : public MonitorView {
public:
    struct Hooks {
        std::function<void()> newArticles;
        std::function<void()> monitoringEnded;
        // A plan's row could not be read when its run began (the run gets an empty plan and
        // fails in its own words).
        std::function<void(const Text& planId, const QueryResult& failure)> planUnreadable;
    };

    TerminalMonitorView(DatabaseConnection& database, std::vector<Text> planIds, Text frequency,
                        bool repeat, Hooks hooks);

    Text frequencyText() const override { return frequency_; }
    void setFrequencyText(const Text& text) override { frequency_ = text; }
    bool autoMonitorChecked() const override { return repeat_; }
    void setFrequencyInputVisible(bool) override {}
    void setMonitorInputsEnabled(bool enabled) override;
    void setRunCaption(const Text&) override {}
    std::vector<int> checkedPlanRows() const override;
    TextList planRowTexts(int row) const override;
    void showLatestArticlesPage() override {}
    void showStatusLog() override {}
    void reloadLatestArticles() override;
    void reloadPlanList() override {}

private:
    DatabaseConnection& database_;
    std::vector<Text> planIds_;
    Text frequency_;
    bool repeat_;
    Hooks hooks_;
};

}  // namespace lumo::cli
