#include "gui/monitor/MainWindowMonitorView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/monitor/AlertSound.h"
#include "gui/window/MainWindow.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/TabControl.h"
#include "gui/window/TrayIcon.h"
#include "gui/window/UiText.h"

namespace lumo {

MainWindowMonitorView::MainWindowMonitorView(MainWindow& window, TrayIcon& tray, AlertSound& sound,
                                             Reloads reloads)
    : window_(window), tray_(tray), sound_(sound), reloads_(std::move(reloads)) {}

Text MainWindowMonitorView::frequencyText() const {
    return gbkText(window_.frequencyEdit->text());
}

void MainWindowMonitorView::setFrequencyText(const Text& text) {
    window_.frequencyEdit->setText(qtText(text));
}

bool MainWindowMonitorView::autoMonitorChecked() const {
    return window_.autoMonitorCheck->isChecked();
}

void MainWindowMonitorView::setFrequencyInputVisible(bool visible) {
    window_.frequencyLabel->setVisible(visible);
    window_.frequencyEdit->setVisible(visible);
}

void MainWindowMonitorView::setMonitorInputsEnabled(bool enabled) {
    window_.autoMonitorCheck->setEnabled(enabled);
    window_.frequencyEdit->setEnabled(enabled);
}

void MainWindowMonitorView::setRunCaption(const Text& caption) {
    window_.runButton->setText(qtText(caption));
}

std::vector<int> MainWindowMonitorView::checkedPlanRows() const {
    std::vector<int> rows;
    for (int row = 0; row < window_.planListView()->rowCount(); ++row) {
        if (window_.planListView()->isRowChecked(row)) rows.push_back(row);
    }
    return rows;
}

TextList MainWindowMonitorView::planRowTexts(int row) const {
    if (row < 0 || row >= window_.planListView()->rowCount()) return {};
    return window_.planListView()->rowTexts(row);
}

void MainWindowMonitorView::showLatestArticlesPage() {
    window_.tabs->setCurrentIndex(MainWindow::LatestArticlesTab);
}

void MainWindowMonitorView::showStatusLog() {
    window_.statusBox->setVisible(true);
}

void MainWindowMonitorView::reloadLatestArticles() {
    if (reloads_.latestArticles) reloads_.latestArticles();
}

void MainWindowMonitorView::reloadPlanList() {
    if (reloads_.planList) reloads_.planList();
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
