#include "monitor/gui/MainWindowMonitorView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "monitor/gui/AlertSound.h"
#include "ui/MainWindow.h"
#include "ui/ReportListView.h"
#include "ui/SettingsPage.h"
#include "ui/TabControl.h"
#include "ui/TrayIcon.h"
#include "ui/UiText.h"

namespace lumo {

MainWindowMonitorView::MainWindowMonitorView(MainWindow& window, TrayIcon& tray, AlertSound& sound,
                                             Reloads reloads)
    : window_(window), tray_(tray), sound_(sound), reloads_(std::move(reloads)) {}

Text MainWindowMonitorView::frequencyText() const {
    return gbkText(window_.频率框->text());
}

void MainWindowMonitorView::setFrequencyText(const Text& text) {
    window_.频率框->setText(qtText(text));
}

bool MainWindowMonitorView::autoMonitorChecked() const {
    return window_.自动监控框->isChecked();
}

void MainWindowMonitorView::setFrequencyInputVisible(bool visible) {
    window_.标签13->setVisible(visible);
    window_.频率框->setVisible(visible);
}

void MainWindowMonitorView::setMonitorInputsEnabled(bool enabled) {
    window_.自动监控框->setEnabled(enabled);
    window_.频率框->setEnabled(enabled);
}

void MainWindowMonitorView::setRunCaption(const Text& caption) {
    window_.运行->setText(qtText(caption));
}

std::vector<int> MainWindowMonitorView::checkedPlanRows() const {
    std::vector<int> rows;
    for (int row = 0; row < window_.项目列表框->rowCount(); ++row) {
        if (window_.项目列表框->isRowChecked(row)) rows.push_back(row);
    }
    return rows;
}

TextList MainWindowMonitorView::planRowTexts(int row) const {
    if (row < 0 || row >= window_.项目列表框->rowCount()) return {};
    return window_.项目列表框->rowTexts(row);
}

void MainWindowMonitorView::showLatestArticlesPage() {
    window_.选择夹->setCurrentIndex(MainWindow::LatestArticlesPage);
}

void MainWindowMonitorView::showStatusLog() {
    window_.状态->setVisible(true);
}

void MainWindowMonitorView::reloadLatestArticles() {
    if (reloads_.latestArticles) reloads_.latestArticles();
}

void MainWindowMonitorView::reloadPlanList() {
    if (reloads_.planList) reloads_.planList();
}

bool MainWindowMonitorView::soundAlertEnabled() const {
    return window_.settingsPage->语音提醒->isChecked();
}

bool MainWindowMonitorView::iconAlertEnabled() const {
    return window_.settingsPage->图标提醒->isChecked();
}

void MainWindowMonitorView::playAlertSound() {
    sound_.play();
}

void MainWindowMonitorView::showTrayIcon(TrayIconKind kind) {
    tray_.show(kind);
}

}  // namespace lumo
