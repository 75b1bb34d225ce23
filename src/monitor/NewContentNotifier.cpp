#include "monitor/NewContentNotifier.h"

#include "base/GbkCodec.h"

namespace lumo {

NewContentNotifier::NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state,
                                       Clock clock)
    : surface_(surface), log_(log), state_(state), clock_(std::move(clock)) {}

void NewContentNotifier::notifyNewContent(bool on) {
    if (!on) {
        if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Normal);
        return;
    }
    static const Text kAlertLine = gbk("\r\n发现有新内容，已发出提醒通知！----");
    if (surface_.soundAlertEnabled()) surface_.playAlertSound();
    if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Alert);
    log_.append(kAlertLine + nowText(clock_));
    state_.newContentFound = false;
}

void NewContentNotifier::notifyPlanHealthChange() {
    if (surface_.soundAlertEnabled()) surface_.playAlertSound();
    if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Alert);
}

}  // namespace lumo
