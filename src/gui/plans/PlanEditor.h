#pragma once

#include <QObject>
#include <memory>

#include "base/MessagePresenter.h"
#include "check/MonitorPlan.h"
#include "plans/PlanEditMode.h"
#include "store/DatabaseConnection.h"

class QWidget;

namespace lumo {

class HelpPage;
class HintBar;
class MainWindow;
class PlanEditorPage;
class PlanList;

// The plan editor on the page "方案操作": fills its units from a plan-list row, keeps the
// judgement-mode radios and `uindex框` in step, saves the plan into table `rule`, and governs the
// save button: a change of the pattern disables it, a rule test with matches enables it.
//
// The editor reads plans from the list's rows, never from the database, and writes only on
// save. A failed save keeps every field as typed; a successful one empties the editor and
// reloads the plan list.
//
// Window thread only.
class PlanEditor : public QObject {
    Q_OBJECT
public:
    PlanEditor(MainWindow& window, PlanList& planList, DatabaseConnection& database,
               MessagePresenter& messages, HelpPage& help, QObject* parent = nullptr);
    ~PlanEditor() override;

    // Shows the editor page (the status log hidden) filled for `mode`: New empties every unit
    // (the initial markers, template and user agent included), ticks `gbk` and selects 单选框1;
    // Edit and Copy take the plan list's selected row (nothing happens without one). Leaves the
    // save button's state, the hint and the test display alone.
    void loadPlanIntoEditor(PlanEditMode mode);

    // The judgement mode a save writes: selects its radio, and enables `uindex框` for 8 only
    // (a disabled box keeps its text, which is still saved).
    void setJudgementMode(int mode);
    int currentJudgementMode() const { return judgementMode_; }

    // The text of `项目编号框`: "0" for a plan a save inserts, else the id it updates.
    Text editorPlanId() const;

    // The editor's content as it stands, saved or not, as a plan (see PlanEditorRules.h).
    MonitorPlan editorPlan() const;

    // The click of `按钮_保存配置`: runs the insert or update and reports it in a message box.
    // True when the statement succeeded.
    bool savePlan();

    // Fills the units a plan suggestion gives (the name and user agent only while their boxes
    // are empty; encoding, markers, pattern, template, indexes and judgement mode); the address,
    // cookie and plan id stay. The pattern changed, so saving waits for a rule test.
    void fillFromSuggestion(const MonitorPlan& suggested);

    // A rule test of `tested` found matches: the plan may be saved, if the editor still holds
    // the fields that test used (nothing was typed over or loaded meanwhile).
    void enableSave(const MonitorPlan& tested);

    HintBar& hintBar() { return *hintBar_; }

private:
    void fill(const MonitorPlan& content, PlanEditMode mode);
    QWidget* unitOf(MonitorPlan::Column column) const;

    MainWindow& window_;
    PlanEditorPage& page_;
    PlanList& planList_;
    DatabaseConnection& database_;
    MessagePresenter& messages_;
    std::unique_ptr<HintBar> hintBar_;
    int judgementMode_ = 0;
};

}  // namespace lumo
