#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "check/MonitorPlan.h"
#include "monitor/ProcessorPlanRunner.h"
#include "plans/PlanEditMode.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"

namespace lumo {

class MainWindow;
class ReportListView;
struct WindowMenus;

// The plan list `项目列表框` and the commands of its context menu "方案".
//
// The list is the in-memory form of table `rule`: one row per plan, list column k holding table
// column k, the tick box choosing the plans a monitoring round processes. Everything that needs a
// plan (the monitoring rounds, the plan editor) reads it from these rows, never from the
// database; loadPlanList() rebuilds them from the table.
//
// Window thread only. A monitoring worker gets its plan as a copy (planAt) taken on the window
// thread before it starts.
class PlanList : public QObject {
    Q_OBJECT
public:
    // Opens the plan editor in a mode; edit and copy take the selected row.
    using EditorOpener = std::function<void(PlanEditMode)>;

    // `database` serves the list's query only (the window's own connection in the program);
    // every change goes through `sql`.
    // The list is the window's planListView(), attached once its page is made.
    PlanList(MainWindow& window, DatabaseConnection& database, SqlRunner& sql, StatusLog& log,
             MessagePresenter& messages, QObject* parent = nullptr);

    // Rebuilds the list from "select * from rule": one column per result column, captioned with
    // its index and name, 80 pixels wide; one row per plan in table order, ticked when its isdo
    // is "1". Hand-made ticks and the selection are lost. A query that fails (a file locked
    // elsewhere) keeps the rows shown and logs one line. Before the list's page is made, the
    // list is filled when it is (the readers below make it).
    // Rows of broken plans (their failed checks in a row reached the threshold) get a red text
    // and a tool tip with the reason and since when.
    void loadPlanList();
    // Marks the rows again for a plan that counts as broken after `brokenAfter` (at least 1)
    // failed checks in a row; the rows and their ticks stay.
    void setBrokenAfter(int brokenAfter);

    // Readers of the rows.
    int rowCount() const;
    // The plan of a row as its 20 cell texts by column position; empty for a row that does not
    // exist.
    MonitorPlan planAt(int row) const;
    // The selected row, or -1.
    int selectedRow() const;

    // Sets the menu items' states for the current selection and pops the menu up at `globalPos`,
    // without waiting for a choice.
    void showPlanMenu(const QPoint& globalPos);
    // The enabling rules of the menu for the current selection.
    void updatePlanMenu();

    // The menu commands.
    void newPlan();
    void editPlan();
    void copyPlan();
    void deletePlan();
    void tickSelectedPlan();

    void setEditorOpener(EditorOpener opener) { openEditor_ = std::move(opener); }

    ReportListView* view() const;

private:
    void attachList();

    MainWindow& window_;
    WindowMenus& menus_;
    void markBrokenPlans();

    int brokenAfter_ = PlanHealthSettings::kDefaultBrokenAfter;
    DatabaseConnection& database_;
    SqlRunner& sql_;
    StatusLog& log_;
    MessagePresenter& messages_;
    EditorOpener openEditor_;
    // A load asked for before the list's page was made.
    bool wanted_ = false;
};

}  // namespace lumo
