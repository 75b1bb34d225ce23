#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include "monitor/AlertSurface.h"

class QMenu;

namespace lumo {

// The program's icon in the notification area: the normal or the alert eye with the tip
// "鲁莫监控", and the tray menu on a right click. A left click or a double click asks for the
// window (restoreRequested); what that does is the window events' business.
//
// Window thread only. The icon disappears with the object.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // `menu` ("托盘菜单") pops up on a right click; it is not owned.
    explicit TrayIcon(QMenu* menu, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows `kind` with the tip, putting the icon into the notification area if it is not there.
    void show(TrayIconKind kind);

    // The icon shown last, and whether the icon was put up at all.
    TrayIconKind shownIcon() const { return shown_; }
    bool isShown() const { return shownOnce_; }
    QString toolTip() const;
    // Where the icon is on the screen, as far as the platform tells.
    QRect geometry() const;

    // Mouse activity on the icon, as the platform reports it: a left click (Trigger) or a double
    // click asks for the window; the context menu is the platform's; anything else does nothing.
    void handleActivation(QSystemTrayIcon::ActivationReason reason);

signals:
    void restoreRequested();

private:
    QSystemTrayIcon* icon_ = nullptr;
    QIcon normal_;
    QIcon alert_;
    TrayIconKind shown_ = TrayIconKind::Normal;
    bool shownOnce_ = false;
};

}  // namespace lumo
