#include "gui/window/WindowMenus.h"

#include <QMenu>

namespace lumo {
namespace {
QMenu* makeMenu(QWidget* owner, const QString& title, const QString& name) {
    auto* menu = new QMenu(title, owner);
    menu->setObjectName(name);
    return menu;
}
}  // namespace

WindowMenus::WindowMenus(QWidget* owner) {
    planMenu = makeMenu(owner, QStringLiteral("方案"), QStringLiteral("方案"));
    newPlan = planMenu->addAction(QStringLiteral("新建监控方案"));
    planMenu->addSeparator();
    editPlan = planMenu->addAction(QStringLiteral("编辑"));
    deletePlan = planMenu->addAction(QStringLiteral("删除"));
    copyPlan = planMenu->addAction(QStringLiteral("复制"));
    planMenu->addSeparator();
    tickPlan = planMenu->addAction(QStringLiteral("默认勾选"));
    editPlan->setEnabled(false);
    deletePlan->setEnabled(false);
    copyPlan->setEnabled(false);

    articleMenu = makeMenu(owner, QStringLiteral("文章"), QStringLiteral("文章"));
    favourArticle = articleMenu->addAction(QStringLiteral("收藏文章"));
    deleteArticle = articleMenu->addAction(QStringLiteral("删除文章"));
    clearList = articleMenu->addAction(QStringLiteral("清空列表"));
    favourArticle->setEnabled(false);
    deleteArticle->setEnabled(false);

    favouriteMenu = makeMenu(owner, QStringLiteral("收藏"), QStringLiteral("收藏"));
    unfavour = favouriteMenu->addAction(QStringLiteral("删除收藏"));
    exportFavourites = favouriteMenu->addAction(QStringLiteral("导出所有收藏"));

    trayMenu = makeMenu(owner, QStringLiteral("托盘菜单"), QStringLiteral("托盘菜单"));
    about = trayMenu->addAction(QStringLiteral("关于..."));
    quit = trayMenu->addAction(QStringLiteral("退出"));
}

}  // namespace lumo
