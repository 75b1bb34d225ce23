#include "plans/gui/PlanManagement.h"

#include <QPlainTextEdit>

#include "plans/gui/PlanList.h"
#include "ui/MainWindow.h"
#include "ui/TabControl.h"
#include "ui/WindowMenus.h"

namespace lumo {

PlanManagement::PlanManagement(MainWindow& window, PlanDatabase& database, SqlRunner& sql,
                               MessagePresenter& messages, QObject* parent)
    : QObject(parent), window_(window) {
    planList_ =
        std::make_unique<PlanList>(window.项目列表框, *window.menus, database, sql, messages);
    planList_->setEditorOpener([this](PlanEditMode) {
        window_.状态->setVisible(false);
        window_.选择夹->setCurrentIndex(MainWindow::EditorPage);
    });
}

PlanManagement::~PlanManagement() = default;

}  // namespace lumo
