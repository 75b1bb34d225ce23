#include "monitor/NewContentNotifier.h"

#include "base/GbkCodec.h"
#include "monitor/NewArticlesNotice.h"

namespace lumo {

NewContentNotifier::NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state,
                                       Clock clock)
    : NewContentNotifier(surface, log, state, std::move(clock), Desktop{}) {}

NewContentNotifier::NewContentNotifier(AlertSurface& surface, StatusLog& log, MonitorState& state,
                                       Clock clock, Desktop desktop)
    : surface_(surface), log_(log), state_(state), clock_(std::move(clock)), desktop_(desktop) {}

void NewContentNotifier::notifyNewContent(bool on) {
    if (!on) {
        if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Normal);
        return;
    }
    static const Text kAlertLine = gbk("\r\n发现有新内容，已发出提醒通知！----");
    if (surface_.soundAlertEnabled()) surface_.playAlertSound();
    if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Alert);
    if (desktop_.articles != nullptr) {
        // Taken whatever the option says, so a later round never repeats this one's articles.
        const RoundNews news = desktop_.articles->take();
        if (!news.empty()) notifyDesktop(newArticlesNotice(news));
    }
    log_.append(kAlertLine + nowText(clock_));
    state_.newContentFound = false;
}

void NewContentNotifier::notifyPlanHealthChange() {
    if (surface_.soundAlertEnabled()) surface_.playAlertSound();
    if (surface_.iconAlertEnabled()) surface_.showTrayIcon(TrayIconKind::Alert);
}

void NewContentNotifier::notifyDesktop(const DesktopNotice& notice) {
    if (desktop_.notifier != nullptr && surface_.desktopAlertEnabled()) {
        desktop_.notifier->show(notice);
    }
}

void NewContentNotifier::discardRoundArticles() {
    if (desktop_.articles != nullptr) desktop_.articles->clear();
}

}  // namespace lumo
