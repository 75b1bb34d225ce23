#pragma once

#include <functional>

#include "monitor/AlertSurface.h"
#include "monitor/MonitorView.h"

namespace lumo {

class AlertSound;
class MainWindow;
class TrayIcon;

// The monitoring rounds' and the new-content alert's view of the main window: the inputs above
// the tabs, the plan list `项目列表框`, the status box, the alert boxes on page "高级设置", the
// tray icon and the alert sound. The list reloads are the application's loaders, handed in.
//
// Window thread only.
class MainWindowMonitorView : public MonitorView, public AlertSurface {
public:
    struct Reloads {
        std::function<void()> latestArticles;
        std::function<void()> planList;
    };

    MainWindowMonitorView(MainWindow& window, TrayIcon& tray, AlertSound& sound, Reloads reloads);

    Text frequencyText() const override;
    void setFrequencyText(const Text& text) override;
    bool autoMonitorChecked() const override;
    void setFrequencyInputVisible(bool visible) override;
    void setMonitorInputsEnabled(bool enabled) override;
    void setRunCaption(const Text& caption) override;
    std::vector<int> checkedPlanRows() const override;
    TextList planRowTexts(int row) const override;
    void showLatestArticlesPage() override;
    void showStatusLog() override;
    void reloadLatestArticles() override;
    void reloadPlanList() override;

    bool soundAlertEnabled() const override;
    bool iconAlertEnabled() const override;
    bool desktopAlertEnabled() const override;
    void playAlertSound() override;
    void showTrayIcon(TrayIconKind kind) override;

private:
    MainWindow& window_;
    TrayIcon& tray_;
    AlertSound& sound_;
    Reloads reloads_;
};

}  // namespace lumo
