#include "gui/monitor/MainWindowMonitorView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "base/GbkCodec.h"
#include "gui/adapters/UiText.h"
#include "gui/monitor/AlertSound.h"
#include "gui/monitor/TrayIcon.h"
#include "gui/window/MainWindow.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/TabControl.h"

namespace lumo {

MainWindowMonitorView::MainWindowMonitorView(MainWindow& window, TrayIcon& tray, AlertSound& sound,
                                             Reloads reloads)
    : window_(window), tray_(tray), sound_(sound), reloads_(std::move(reloads)) {}

Text MainWindowMonitorView::frequencyText() const {
    return gbkText(window_.frequencyEdit->text());
}

bool MainWindowMonitorView::autoMonitorChecked() const {
    return window_.autoMonitorCheck->isChecked();
}

std::vector<int> MainWindowMonitorView::checkedPlanRows() const {
    return window_.planListView()->checkedRows();
}

TextList MainWindowMonitorView::planRowTexts(int row) const {
    return window_.planListView()->rowTexts(row);  // empty for a row that does not exist
}

void MainWindowMonitorView::startRefused(StartRefusal why) {
    if (why == StartRefusal::FrequencyTooLow) {
        window_.frequencyEdit->setText(QStringLiteral("60"));
        return;
    }
    setMonitorInputsEnabled(true);
}

void MainWindowMonitorView::monitoringStarting() {
    showStatusLog();
    setMonitorInputsEnabled(false);
}

void MainWindowMonitorView::monitoringStarted() {
    monitoring_ = true;
    setRunCaption("停 止");
    window_.tabs->setCurrentIndex(MainWindow::LatestArticlesTab);
}

void MainWindowMonitorView::roundEnded(bool newArticles) {
    if (!newArticles) return;
    if (reloads_.latestArticles) reloads_.latestArticles();
    // The reload may hand control to the window, and a stop there leaves the plan list alone.
    if (!monitoring_) return;
    if (reloads_.planList) reloads_.planList();
}

void MainWindowMonitorView::monitoringStopped() {
    monitoring_ = false;
    showStatusLog();
    setRunCaption("开 始");
    setMonitorInputsEnabled(true);
}

void MainWindowMonitorView::repeatChanged(bool repeat) {
    window_.frequencyLabel->setVisible(repeat);
    window_.frequencyEdit->setVisible(repeat);
}

void MainWindowMonitorView::setMonitorInputsEnabled(bool enabled) {
    window_.autoMonitorCheck->setEnabled(enabled);
    window_.frequencyEdit->setEnabled(enabled);
}

void MainWindowMonitorView::setRunCaption(const char* caption) {
    window_.runButton->setText(qtText(gbk(caption)));
}

void MainWindowMonitorView::showStatusLog() {
    window_.statusBox->setVisible(true);
}

// Nobody can have changed an option whose page was never made: it is as the box would start.
bool MainWindowMonitorView::soundAlertEnabled() const {
    if (!window_.isPageBuilt(MainWindow::SettingsTab)) return SettingsPage::kSoundAlertTicked;
    return window_.settingsPage()->soundAlertCheck->isChecked();
}

bool MainWindowMonitorView::iconAlertEnabled() const {
    if (!window_.isPageBuilt(MainWindow::SettingsTab)) return SettingsPage::kTrayAlertTicked;
    return window_.settingsPage()->trayAlertCheck->isChecked();
}

bool MainWindowMonitorView::desktopAlertEnabled() const {
    if (!window_.isPageBuilt(MainWindow::SettingsTab)) {
        return SettingsPage::kDesktopAlertTicked;
    }
    return window_.settingsPage()->desktopAlertCheck->isChecked();
}

void MainWindowMonitorView::playAlertSound() {
    sound_.play();
}

void MainWindowMonitorView::showTrayIcon(TrayIconKind kind) {
    tray_.show(kind);
}

}  // namespace lumo
