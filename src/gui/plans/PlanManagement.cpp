#include "gui/plans/PlanManagement.h"

#include "gui/plans/PlanEditor.h"
#include "gui/plans/PlanList.h"
#include "gui/plans/PlanSuggestionRunner.h"
#include "gui/plans/RuleTestRunner.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/WindowMenus.h"

namespace lumo {

PlanManagement::PlanManagement(MainWindow& window, DatabaseConnection& database, SqlRunner& sql,
                               StatusLog& log, MessagePresenter& messages, CutRegionSink& cutRegion,
                               QObject* parent)
    : PlanManagement(window, database, sql, log, messages, cutRegion, Options{}, parent) {}

PlanManagement::PlanManagement(MainWindow& window, DatabaseConnection& database, SqlRunner& sql,
                               StatusLog& log, MessagePresenter& messages, CutRegionSink& cutRegion,
                               Options options, QObject* parent)
    : QObject(parent), window_(window) {
    help_ = options.helpOpener ? std::make_unique<HelpPage>(std::move(options.helpOpener))
                               : std::make_unique<HelpPage>();
    planList_ = std::make_unique<PlanList>(
        window, options.listDatabase != nullptr ? *options.listDatabase : database, sql, log,
        messages);
    planList_->setEditorOpener([this](PlanEditMode mode) { editor().loadPlanIntoEditor(mode); });
    // The editor and the rule test come with their page.
    window.whenPageBuilt(MainWindow::EditorTab, this,
                         [this, &log, &messages, &cutRegion, &database, fetch = options.fetch] {
                             attachEditorPage(log, messages, cutRegion, database, fetch);
                         });
}

void PlanManagement::attachEditorPage(StatusLog& log, MessagePresenter& messages,
                                      CutRegionSink& cutRegion, DatabaseConnection& database,
                                      FetchOptions fetch) {
    editor_ = std::make_unique<PlanEditor>(window_, *planList_, database, messages, *help_);
    RuleTestRunner::Collaborators with;
    with.currentPlan = [this] { return editor_->editorPlan(); };
    with.enableSave = [this](const MonitorPlan& tested) { editor_->enableSave(tested); };
    with.log = &log;
    with.messages = &messages;
    with.cutRegion = &cutRegion;
    ruleTest_ = std::make_unique<RuleTestRunner>(*window_.editorPage(), std::move(with), fetch);
    suggestion_ =
        std::make_unique<PlanSuggestionRunner>(*window_.editorPage(), *editor_, messages, fetch);
}

PlanManagement::~PlanManagement() = default;

PlanEditor& PlanManagement::editor() {
    window_.editorPage();
    return *editor_;
}

PlanSuggestionRunner& PlanManagement::suggestion() {
    window_.editorPage();
    return *suggestion_;
}

RuleTestRunner& PlanManagement::ruleTest() {
    window_.editorPage();
    return *ruleTest_;
}

}  // namespace lumo
