#pragma once

#include "base/NowText.h"
#include "base/StatusLog.h"
#include "check/MonitorState.h"
#include "monitor/AlertSurface.h"

namespace lumo {

// Tells the user that a monitoring round stored new articles, and later takes the visual alert
// back.
//
// notifyNewContent(true): the alert sound (when `语音提醒` is checked), the alert tray icon (when
// `图标提醒` is checked), and in every case the line "\r\n发现有新内容，已发出提醒通知！----" with
// the time in the status log; newContentFound is cleared. notifyNewContent(false): the normal tray
// icon, when `图标提醒` is checked; nothing else.
//
// Window thread only.
class NewContentNotifier {
public:
    NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state,
                       Clock clock = {});

    void notifyNewContent(bool on);
    // The same alert (sound, alert tray icon, as the boxes allow) for a plan that became broken
    // or recovered; the line is the monitoring run's own, and newContentFound is left alone.
    void notifyPlanHealthChange();

private:
    AlertSurface& surface_;
    StatusLog& log_;
    MonitorState& state_;
    Clock clock_;
};

}  // namespace lumo
