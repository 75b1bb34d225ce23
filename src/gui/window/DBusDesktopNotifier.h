#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "monitor/DesktopNotice.h"

class QDBusPendingCallWatcher;

namespace lumo {

// Desktop notifications through the desktop's notification service (org.freedesktop.Notifications
// on the session bus). A notification offers two actions: "default" (a click on it, or the
// service's own way of taking it up) opens the notice's article when it is a web address, or else
// shows the window; "show" shows the window.
//
// Never waits: every call to the service is asynchronous. Without a session bus or a service
// nothing is shown and nothing is reported. The first notification asks the service whether it
// takes markup in the body; until the answer comes, notifications wait in a short queue. Page
// text is escaped for a service that takes markup.
//
// Window thread only.
class DBusDesktopNotifier : public QObject, public DesktopNotifier {
    Q_OBJECT
public:
    struct Actions {
        // Opens a web link (the article).
        std::function<void(const Text& link)> openLink;
        // Shows the window in front.
        std::function<void()> showWindow;
    };

    // How long the service may take to answer a call; the program never waits for it.
    static constexpr int kCallTimeoutMs = 5000;
    // Notifications kept for their actions, and waiting for the service's capabilities.
    static constexpr std::size_t kKeptNotifications = 16;

    // `bus` gives the connection, asked for at the first notification only, so that a program
    // that never notifies never connects.
    DBusDesktopNotifier(std::function<QDBusConnection()> bus, Actions actions,
                        QObject* parent = nullptr);

    void show(const DesktopNotice& notice) override;

public slots:
    // The service's report of an action taken on notification `id` (ActionInvoked).
    void takeAction(uint id, const QString& action);

signals:
    // The service accepted a notification and gave it `id`.
    void shown(uint id);
    // The service could not be reached or refused the notification.
    void failed(const QString& reason);

private:
    void askCapabilities();
    void send(const DesktopNotice& notice);
    void sent(QDBusPendingCallWatcher* call, const Text& link);
    QString bodyOf(const DesktopNotice& notice) const;

    std::function<QDBusConnection()> connectBus_;
    std::optional<QDBusConnection> bus_;
    Actions actions_;
    bool listening_ = false;
    // Whether the service takes markup in the body; unknown until it says.
    std::optional<bool> markup_;
    bool asking_ = false;
    std::deque<DesktopNotice> waiting_;
    // The articles of the notifications shown, by id; the oldest are forgotten.
    std::map<uint, Text> links_;
};

}  // namespace lumo
