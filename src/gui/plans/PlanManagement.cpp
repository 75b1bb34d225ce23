#include "gui/plans/PlanManagement.h"

#include "gui/plans/PlanEditor.h"
#include "gui/plans/PlanList.h"
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
    : QObject(parent) {
    help_ = options.helpOpener ? std::make_unique<HelpPage>(std::move(options.helpOpener))
                               : std::make_unique<HelpPage>();
    planList_ = std::make_unique<PlanList>(
        window, options.listDatabase != nullptr ? *options.listDatabase : database, sql, log,
        messages);
    editor_ = std::make_unique<PlanEditor>(window, *planList_, database, messages, *help_);
    planList_->setEditorOpener([this](PlanEditMode mode) { editor_->loadPlanIntoEditor(mode); });

    RuleTestRunner::Collaborators with;
    with.currentPlan = [this] { return editor_->editorPlan(); };
    with.enableSave = [this](const MonitorPlan& tested) { editor_->enableSave(tested); };
    with.log = &log;
    with.messages = &messages;
    with.testEdit = &cutRegion;
    with.sql = &sql;
    ruleTest_ =
        std::make_unique<RuleTestRunner>(*window.editorPage, std::move(with), options.fetch);
}

PlanManagement::~PlanManagement() = default;

}  // namespace lumo
