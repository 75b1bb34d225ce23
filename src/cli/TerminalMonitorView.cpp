#include "cli/TerminalMonitorView.h"

#include "base/TextOps.h"

namespace lumo::cli {

TerminalMonitorView::TerminalMonitorView(DatabaseConnection& database, std::vector<Text> planIds,
                                         Text frequency, bool repeat, Hooks hooks)
    : database_(database),
      planIds_(std::move(planIds)),
      frequency_(std::move(frequency)),
      repeat_(repeat),
      hooks_(std::move(hooks)) {}

void TerminalMonitorView::monitoringStopped() {
    if (hooks_.monitoringEnded) hooks_.monitoringEnded();
}

void TerminalMonitorView::planStarted(int position, int count, const MonitorPlan& plan) {
    if (hooks_.planStarted) hooks_.planStarted(position, count, plan);
}

std::vector<int> TerminalMonitorView::checkedPlanRows() const {
    std::vector<int> rows;
    for (std::size_t k = 0; k < planIds_.size(); ++k) rows.push_back(static_cast<int>(k));
    return rows;
}

TextList TerminalMonitorView::planRowTexts(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= planIds_.size()) return {};
    // The ids are integers from `rule` itself, so the statement holds nothing but digits.
    const Text& planId = planIds_[static_cast<std::size_t>(row)];
    const QueryResult result = database_.query("select * from rule where id=" + planId);
    if (!result.ok && hooks_.planUnreadable) hooks_.planUnreadable(planId, result);
    if (result.rows.empty()) return {};
    return result.rows.front();
}

void TerminalMonitorView::roundEnded(bool newArticles) {
    if (newArticles && hooks_.newArticles) hooks_.newArticles();
}

}  // namespace lumo::cli
