#pragma once

#include <QWidget>

#include "monitor/ProcessorPlanRunner.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace lumo {

// Page "高级设置": the alert options and the SQL console. Layout only. The page starts empty:
// the window has placeControls() make the controls when the page is first needed.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    // Makes every control below; once.
    void placeControls();

    // How the alert boxes start: what the options are while the page has not been made.
    static constexpr bool kTrayAlertTicked = true;
    static constexpr bool kSoundAlertTicked = true;
    static constexpr bool kDesktopAlertTicked = true;
    // Failed checks in a row after which a plan counts as broken, as the box starts.
    static constexpr int kBrokenAfterStart = PlanHealthSettings::kDefaultBrokenAfter;
    static constexpr int kBrokenAfterMost = 99;

    QGroupBox* alertGroup = nullptr;
    QCheckBox* trayAlertCheck = nullptr;
    QCheckBox* soundAlertCheck = nullptr;
    // Beside the two boxes above, in the room the group leaves to their right.
    QCheckBox* desktopAlertCheck = nullptr;
    QGroupBox* settingsGroup = nullptr;
    // In "软件设置": start with the desktop session, hidden in the tray and monitoring.
    QCheckBox* autostartCheck = nullptr;
    // In "软件设置", below it: after how many failed checks in a row a plan is broken.
    QLabel* brokenAfterLabel = nullptr;
    QSpinBox* brokenAfterBox = nullptr;
    QGroupBox* databaseGroup = nullptr;
    QPlainTextEdit* sqlEdit = nullptr;
    QPushButton* runSqlButton = nullptr;
    QLabel* coverLabel = nullptr;
};

}  // namespace lumo
