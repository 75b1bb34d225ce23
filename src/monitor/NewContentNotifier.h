#pragma once

#include "base/NowText.h"
#include "base/StatusLog.h"
#include "check/MonitorState.h"
#include "check/RoundArticles.h"
#include "monitor/AlertSurface.h"
#include "monitor/DesktopNotice.h"

namespace lumo {

// Tells the user that a monitoring round stored new articles, and later takes the visual alert
// back.
//
// notifyNewContent(true): the alert sound (when `语音提醒` is checked), the alert tray icon (when
// `图标提醒` is checked), a desktop notification naming the round's plans and newest articles
// (when the surface's desktop option is on and a DesktopNotifier and the round's RoundArticles
// were given), and in every case the line "\r\n发现有新内容，已发出提醒通知！----" with the time in
// the status log; newContentFound is cleared and the round's articles are taken.
// notifyNewContent(false): the normal tray icon, when `图标提醒` is checked; nothing else.
//
// Other kinds of desktop notice go through notifyDesktop(), under the same option.
//
// Window thread only.
class NewContentNotifier {
public:
    struct Desktop {
        // Shows desktop notifications; none when null.
        DesktopNotifier* notifier = nullptr;
        // What the round's runs stored; with none, no notification names articles.
        RoundArticles* articles = nullptr;
    };

    NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state,
                       Clock clock = {});
    NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state, Clock clock,
                       Desktop desktop);

    void notifyNewContent(bool on);
    // The same alert (sound, alert tray icon, as the boxes allow) for a plan that became broken
    // or recovered; the line is the monitoring run's own, and newContentFound is left alone.
    void notifyPlanHealthChange();

    // Shows `notice` as a desktop notification when the surface's desktop option is on.
    void notifyDesktop(const DesktopNotice& notice);

    // Forgets the articles of a round that ended without an alert (monitoring starts anew).
    void discardRoundArticles();

private:
    AlertSurface& surface_;
    StatusLog& log_;
    MonitorState& state_;
    Clock clock_;
    Desktop desktop_;
};

}  // namespace lumo
