#include "gui/plans/PlanList.h"

#include <QAction>
#include <QMenu>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "gui/adapters/UiText.h"
#include "gui/window/MainWindow.h"
#include "gui/window/NotYetAvailable.h"
#include "gui/window/ReportListView.h"
#include "gui/window/WindowMenus.h"
#include "plans/PlanListRules.h"
#include "store/PlanHealth.h"

namespace lumo {
namespace {

// The text colour of a broken plan's row.
const QColor kBrokenPlanColour(0xC0, 0x10, 0x10);

}  // namespace

PlanList::PlanList(MainWindow& window, DatabaseConnection& database, SqlRunner& sql, StatusLog& log,
                   MessagePresenter& messages, QObject* parent)
    : QObject(parent),
      window_(window),
      menus_(*window.menus),
      database_(database),
      sql_(sql),
      log_(log),
      messages_(messages) {
    window_.whenPageBuilt(MainWindow::PlansTab, this, [this] { attachList(); });
    connect(menus_.newPlan, &QAction::triggered, this, &PlanList::newPlan);
    connect(menus_.editPlan, &QAction::triggered, this, &PlanList::editPlan);
    connect(menus_.copyPlan, &QAction::triggered, this, &PlanList::copyPlan);
    connect(menus_.deletePlan, &QAction::triggered, this, &PlanList::deletePlan);
    connect(menus_.tickPlan, &QAction::triggered, this, &PlanList::tickSelectedPlan);
}

void PlanList::attachList() {
    connect(view(), &ReportListView::rightClicked, this,
            [this](int, const QPoint& at) { showPlanMenu(at); });
    if (wanted_) loadPlanList();
}

void PlanList::setBrokenAfter(int brokenAfter) {
    brokenAfter_ = std::max(1, brokenAfter);
    if (window_.isPageBuilt(MainWindow::PlansTab)) markBrokenPlans();
}

ReportListView* PlanList::view() const {
    return window_.planListView();
}

void PlanList::loadPlanList() {
    wanted_ = !window_.isPageBuilt(MainWindow::PlansTab);
    if (wanted_) return;
    ReportListView* const list = view();
    const QueryResult result = database_.query(kPlanListQuery);
    if (!result.ok) {
        log_.append(listQueryFailedLine(result));
        return;
    }
    std::vector<ReportListView::Column> columns;
    for (const Text& caption : planListCaptions(result)) {
        columns.push_back({caption, kPlanListColumnWidth});
    }
    list->setColumns(columns);  // also drops every row
    for (const TextList& cells : result.rows) {
        const int row = list->addRow(cells);
        // The tick follows the cell as the list holds it.
        if (planRowLoadsTicked(list->rowTexts(row))) list->setRowChecked(row, true);
    }
    markBrokenPlans();
}

void PlanList::markBrokenPlans() {
    const PlanHealth::Read health = PlanHealth::read(database_);
    if (!health.query.ok) {
        log_.append(listQueryFailedLine(health.query));
        return;
    }
    ReportListView* const list = view();
    for (int row = 0; row < list->rowCount(); ++row) {
        const auto found = health.records.find(planAt(row)[MonitorPlan::id]);
        const bool broken = found != health.records.end() && found->second.brokenAt(brokenAfter_);
        // A row no longer broken (the threshold was raised) gets its usual look back.
        QString tip;
        if (broken) {
            const PlanHealthRecord& record = found->second;
            tip = qtText(gbk("方案失效：") + record.reason + gbk("（自 ") + record.failingSince +
                         gbk(" 起连续 ") + textOfInteger(record.failures) + gbk(" 次检查失败）"));
        }
        for (int column = 0; column < list->columnCount(); ++column) {
            if (QTableWidgetItem* item = list->item(row, column)) {
                item->setForeground(broken ? QBrush(kBrokenPlanColour) : QBrush());
                item->setToolTip(tip);
            }
        }
    }
}

int PlanList::rowCount() const {
    return view()->rowCount();
}

MonitorPlan PlanList::planAt(int row) const {
    return MonitorPlan::fromRow(view()->rowTexts(row));
}

int PlanList::selectedRow() const {
    return view()->selectedRow();
}

void PlanList::updatePlanMenu() {
    const int row = selectedRow();
    const PlanMenuState state = planMenuState(row >= 0, view()->rowTexts(row));
    menus_.newPlan->setEnabled(true);
    menus_.editPlan->setEnabled(state.edit);
    menus_.deletePlan->setEnabled(state.remove);
    menus_.copyPlan->setEnabled(state.copy);
    menus_.tickPlan->setEnabled(state.tick);
}

void PlanList::showPlanMenu(const QPoint& globalPos) {
    updatePlanMenu();
    menus_.planMenu->popup(globalPos);
}

void PlanList::newPlan() {
    if (openEditor_) openEditor_(PlanEditMode::New);
}

void PlanList::editPlan() {
    if (selectedRow() >= 0 && openEditor_) openEditor_(PlanEditMode::Edit);
}

void PlanList::copyPlan() {
    if (selectedRow() >= 0 && openEditor_) openEditor_(PlanEditMode::Copy);
}

void PlanList::deletePlan() {
    showNotYetAvailable(messages_);
}

void PlanList::tickSelectedPlan() {
    const int row = selectedRow();
    if (row < 0) return;
    view()->setRowChecked(row, true);
    sql_.runSql(defaultTickStatement(view()->cellText(row, MonitorPlan::id)));
}

}  // namespace lumo
