#pragma once

#include <functional>

#include "monitor/AlertSurface.h"
#include "monitor/MonitorEvents.h"
#include "monitor/MonitorInputs.h"

namespace lumo {

class AlertSound;
class MainWindow;
class TrayIcon;

// The monitoring rounds and the new-content alert on the main window: the rounds read the inputs
// above the tabs (`频率框`, `自动监控框`) and the ticked rows of `项目列表框`; their events show as
//   monitoringStarting  the status box shows, `自动监控框` and `频率框` are disabled
//   startRefused        a frequency too low reads "60"; with no plan ticked the inputs are
//                       enabled again
//   monitoringStarted   `运行` reads "停 止" and the latest articles page comes up
//   roundEnded          with new articles: the latest articles, then (unless that stopped
//                       monitoring) the plan list are reloaded
//   monitoringStopped   the status box shows, the inputs are enabled, `运行` reads "开 始"
//   repeatChanged       `频率框` and its label show while rounds repeat
// The alert uses the boxes on page "高级设置", the tray icon and the alert sound. The list reloads
// are the application's loaders, handed in.
//
// Window thread only.
class MainWindowMonitorView : public MonitorInputs, public MonitorEvents, public AlertSurface {
public:
    struct Reloads {
        std::function<void()> latestArticles;
        std::function<void()> planList;
    };

    MainWindowMonitorView(MainWindow& window, TrayIcon& tray, AlertSound& sound, Reloads reloads);

    Text frequencyText() const override;
    bool autoMonitorChecked() const override;
    std::vector<int> checkedPlanRows() const override;
    TextList planRowTexts(int row) const override;

    void startRefused(StartRefusal why) override;
    void monitoringStarting() override;
    void monitoringStarted() override;
    void roundEnded(bool newArticles) override;
    void monitoringStopped() override;
    void repeatChanged(bool repeat) override;

    bool soundAlertEnabled() const override;
    bool iconAlertEnabled() const override;
    bool desktopAlertEnabled() const override;
    void playAlertSound() override;
    void showTrayIcon(TrayIconKind kind) override;

private:
    void setMonitorInputsEnabled(bool enabled);
    void setRunCaption(const char* caption);
    void showStatusLog();

    MainWindow& window_;
    TrayIcon& tray_;
    AlertSound& sound_;
    Reloads reloads_;
    bool monitoring_ = false;
};

}  // namespace lumo
