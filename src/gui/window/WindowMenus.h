#pragma once

#include <QObject>

class QMenu;
class QAction;
class QWidget;

namespace lumo {

// The window's four popup menus, with their items in order. Nothing here reacts to a choice:
// each feature connects to the actions it owns.
struct WindowMenus {
    explicit WindowMenus(QWidget* owner);

    // "方案": the plan list's menu.
    QMenu* planMenu = nullptr;
    QAction* newPlan = nullptr;     // "新建监控方案"
    QAction* editPlan = nullptr;    // "编辑" (starts disabled)
    QAction* deletePlan = nullptr;  // "删除" (starts disabled)
    QAction* copyPlan = nullptr;    // "复制" (starts disabled)
    QAction* tickPlan = nullptr;    // "默认勾选"

    // "文章": the latest-articles menu.
    QMenu* articleMenu = nullptr;
    QAction* favourArticle = nullptr;  // "收藏文章" (starts disabled)
    QAction* deleteArticle = nullptr;  // "删除文章" (starts disabled)
    QAction* clearList = nullptr;      // "清空列表"

    // "收藏": the favourites menu.
    QMenu* favouriteMenu = nullptr;
    QAction* unfavour = nullptr;          // "删除收藏"
    QAction* exportFavourites = nullptr;  // "导出所有收藏"

    // "托盘菜单": the tray icon's menu.
    QMenu* trayMenu = nullptr;
    QAction* about = nullptr;  // "关于..."
    QAction* quit = nullptr;   // "退出"
};

}  // namespace lumo
