#include "gui/monitor/WindowEvents.h"

#include <QAction>
#include <QSystemTrayIcon>

#include "base/GbkCodec.h"
#include "base/LumoVersion.h"
#include "gui/monitor/TrayIcon.h"
#include "gui/window/MainWindow.h"
#include "gui/window/WindowMenus.h"

namespace lumo {

WindowEvents::WindowEvents(MainWindow& window, TrayIcon& tray, MessagePresenter& messages,
                           Hooks hooks)
    : window_(window), messages_(messages), hooks_(std::move(hooks)) {
    connect(&window_, &MainWindow::minimised, this, &WindowEvents::onMinimised);
    connect(&window_, &MainWindow::activated, this, &WindowEvents::onActivated);
    connect(&tray, &TrayIcon::restoreRequested, this, &WindowEvents::restore);
    connect(window_.menus->about, &QAction::triggered, this, &WindowEvents::showAbout);
    connect(window_.menus->quit, &QAction::triggered, this, &WindowEvents::quit);
}

bool WindowEvents::trayAvailable() const {
    return hooks_.trayAvailable ? hooks_.trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void WindowEvents::onMinimised() {
    if (!trayAvailable()) return;
    // Hidden once the state change is complete, so the platform sees a finished minimise.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (window_.isMinimized()) window_.hide();
        },
        Qt::QueuedConnection);
}

void WindowEvents::restore() {
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
    if (hooks_.notifyNewContent) hooks_.notifyNewContent(false);
}

void WindowEvents::onActivated() {
    if (hooks_.notifyNewContent) hooks_.notifyNewContent(false);
}

void WindowEvents::showAbout() {
    static const Text kAbout =
        lumoTitle() + gbk("\r\n\r\n盯住您关心的网页，一有新文章发表就提醒您。");
    static const Text kCaption = gbk("关于");
    messages_.showMessage(kAbout, kCaption);
}

void WindowEvents::quit() {
    if (hooks_.quit) hooks_.quit();
}

}  // namespace lumo
