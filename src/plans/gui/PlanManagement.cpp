#include "plans/gui/PlanManagement.h"

#include "monitor/gui/TestEditBoxSink.h"
#include "plans/gui/PlanEditor.h"
#include "plans/gui/PlanList.h"
#include "plans/gui/RuleTestRunner.h"
#include "ui/MainWindow.h"
#include "ui/PlanEditorPage.h"
#include "ui/WindowMenus.h"

namespace lumo {

PlanManagement::PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql,
                               StatusLog& log, MessagePresenter& messages, QObject* parent)
    : PlanManagement(window, database, sql, log, messages, Options{}, parent) {}

PlanManagement::PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql,
                               StatusLog& log, MessagePresenter& messages, Options options,
                               QObject* parent)
    : QObject(parent) {
    help_ = options.helpOpener ? std::make_unique<HelpPage>(std::move(options.helpOpener))
                               : std::make_unique<HelpPage>();
    testEditBox_ = std::make_unique<TestEditBoxSink>(window.editorPage->测试编辑框);
    planList_ = std::make_unique<PlanList>(
        window.项目列表框, *window.menus,
        options.listDatabase != nullptr ? *options.listDatabase : database, sql, log, messages);
    editor_ = std::make_unique<PlanEditor>(window, *planList_, database, messages, *help_);
    planList_->setEditorOpener([this](PlanEditMode mode) { editor_->loadPlanIntoEditor(mode); });

    RuleTestRunner::Collaborators with;
    with.currentPlan = [this] { return editor_->editorPlan(); };
    with.enableSave = [this](const MonitorPlan& tested) { editor_->enableSave(tested); };
    with.log = &log;
    with.messages = &messages;
    with.testEdit = testEditBox_.get();
    with.sql = &sql;
    ruleTest_ =
        std::make_unique<RuleTestRunner>(*window.editorPage, std::move(with), options.fetch);
}

PlanManagement::~PlanManagement() = default;

}  // namespace lumo
