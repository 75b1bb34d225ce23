#pragma once

#include <QObject>
#include <functional>

#include "base/MessagePresenter.h"

namespace lumo {

class MainWindow;
class TrayIcon;

// The main window's own events and the tray menu:
// - minimised: the window hides, leaving only the tray icon, but only where the desktop has a
//   notification area (a window hidden without one could never come back);
// - a left click or double click on the tray icon: the window is shown, in its normal state, in
//   front, then the alert icon is withdrawn (notifyNewContent(false));
// - the window activated: the alert icon is withdrawn;
// - "关于...": the about box; "退出": the program ends with exit code 0.
//
// Window thread only.
class WindowEvents : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // notifyNewContent of the new-content alert.
        std::function<void(bool)> notifyNewContent;
        // Ends the program with exit code 0.
        std::function<void()> quit;
        // Whether the desktop offers a notification area; the platform's answer when empty.
        std::function<bool()> trayAvailable;
    };

    WindowEvents(MainWindow& window, TrayIcon& tray, MessagePresenter& messages, Hooks hooks);

    void onMinimised();
    void restore();
    void onActivated();
    void showAbout();
    void quit();

private:
    bool trayAvailable() const;

    MainWindow& window_;
    MessagePresenter& messages_;
    Hooks hooks_;
};

}  // namespace lumo
