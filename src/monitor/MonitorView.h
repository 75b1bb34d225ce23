#pragma once

#include <vector>

#include "base/Text.h"

namespace lumo {

// What the monitoring rounds need from the window: the inputs above the tab pages (`频率框`,
// `自动监控框`, `运行`), the ticked rows of the plan list `项目列表框`, the status box, and the
// reloads of the lists after a round that found new articles.
//
// Window thread only.
class MonitorView {
public:
    virtual ~MonitorView() = default;

    // The text of `频率框`, as typed.
    virtual Text frequencyText() const = 0;
    virtual void setFrequencyText(const Text& text) = 0;

    // Whether `自动监控框` is checked.
    virtual bool autoMonitorChecked() const = 0;

    // Shows or hides `频率框` with its label.
    virtual void setFrequencyInputVisible(bool visible) = 0;

    // Enables or disables `自动监控框` and `频率框`.
    virtual void setMonitorInputsEnabled(bool enabled) = 0;

    // The caption of the button `运行`.
    virtual void setRunCaption(const Text& caption) = 0;

    // 0-based rows of `项目列表框` whose tick box is checked, in list order.
    virtual std::vector<int> checkedPlanRows() const = 0;

    // The cell texts of one plan-list row in column order; empty for a row that does not exist.
    virtual TextList planRowTexts(int row) const = 0;

    // Shows page 1 of `选择夹` (the latest articles).
    virtual void showLatestArticlesPage() = 0;

    // Makes the status box visible.
    virtual void showStatusLog() = 0;

    // Rebuild the latest-articles list and the plan list from the database.
    virtual void reloadLatestArticles() = 0;
    virtual void reloadPlanList() = 0;
};

}  // namespace lumo
