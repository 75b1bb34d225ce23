#pragma once

#include <QStringList>
#include <functional>
#include <memory>

#include "monitor/DesktopNotice.h"

namespace lumo {

// The desktop's notifications through the module lumo_desktop_notify (Qt D-Bus), loaded at the
// first notification from the first of the given folders that holds it, so that a window that
// never notifies never loads D-Bus. Without the module (or with one from another build) no
// notification is sent, and one line on stderr says so.
//
// Window thread only.
class ModuleDesktopNotifier : public DesktopNotifier {
public:
    // `openLink` opens an article's web link, `showWindow` shows the window.
    ModuleDesktopNotifier(QStringList folders, std::function<void(const Text& link)> openLink,
                          std::function<void()> showWindow);
    ~ModuleDesktopNotifier() override;

    void show(const DesktopNotice& notice) override;

    // Whether the module was loaded; false before the first notification.
    bool loaded() const { return desktop_ != nullptr; }

private:
    QStringList folders_;
    std::function<void(const Text&)> openLink_;
    std::function<void()> showWindow_;
    std::unique_ptr<DesktopNotifier> desktop_;
    bool missing_ = false;
};

}  // namespace lumo
