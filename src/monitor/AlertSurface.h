#pragma once

namespace lumo {

// The two icons the notification area can show.
enum class TrayIconKind { Normal, Alert };

// Where a new-content alert shows: the alert options on the settings page, the alert sound and
// the notification-area icon.
//
// Window thread only.
class AlertSurface {
public:
    virtual ~AlertSurface() = default;

    // `语音提醒`: play the alert sound.
    virtual bool soundAlertEnabled() const = 0;
    // `图标提醒`: swap the tray icon.
    virtual bool iconAlertEnabled() const = 0;

    // The desktop-notification option: send a desktop notification naming the new articles.
    // A surface without that option never sends one.
    virtual bool desktopAlertEnabled() const { return false; }

    // Starts the alert sound once and returns at once; silent where no sound can be played.
    virtual void playAlertSound() = 0;

    // Shows `kind` in the notification area, with the tip "鲁莫监控".
    virtual void showTrayIcon(TrayIconKind kind) = 0;
};

}  // namespace lumo
