#include "gui/window/TabControl.h"

#include <QEvent>
#include <QStackedWidget>
#include <QTabBar>

namespace lumo {

TabControl::TabControl(QWidget* parent) : QTabWidget(parent) {}

bool TabControl::event(QEvent* event) {
    const bool handled = QTabWidget::event(event);
    switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::LayoutRequest:
        case QEvent::StyleChange:
        case QEvent::Polish:
            coverWithPages();
            break;
        default:
            break;
    }
    return handled;
}

void TabControl::tabInserted(int index) {
    QTabWidget::tabInserted(index);
    coverWithPages();
}

void TabControl::coverWithPages() {
    // QTabWidget lays its page stack out below the tab strip; stretch it over the whole widget.
    auto* stack = findChild<QStackedWidget*>(QStringLiteral("qt_tabwidget_stackedwidget"),
                                             Qt::FindDirectChildrenOnly);
    if (stack != nullptr && stack->geometry() != rect()) stack->setGeometry(rect());
    tabBar()->raise();
}

}  // namespace lumo
