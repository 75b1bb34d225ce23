#include "gui/window/SettingsPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/window/Placement.h"

namespace lumo {

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {}

void SettingsPage::placeControls() {
    // The empty cover label lies beneath everything else, so the options and the console stay
    // usable.
    coverLabel = placeControl<QLabel>(this, QStringLiteral("遮挡层"), -10, 20, 736, 430);
    coverLabel->lower();

    alertGroup = placeControl<QGroupBox>(this, QStringLiteral("提醒分组框"), 6, 33, 704, 56,
                                         QStringLiteral("发现新文章时提醒方式："));
    trayAlertCheck = placeControl<QCheckBox>(alertGroup, QStringLiteral("图标提醒"), 16, 21, 184,
                                             24, QStringLiteral("更换右下角托盘图标"));
    trayAlertCheck->setChecked(kTrayAlertTicked);
    soundAlertCheck = placeControl<QCheckBox>(alertGroup, QStringLiteral("语音提醒"), 200, 21, 184,
                                              24, QStringLiteral("播放提示音"));
    soundAlertCheck->setChecked(kSoundAlertTicked);
    desktopAlertCheck =
        placeControl<QCheckBox>(alertGroup, QStringLiteral("桌面通知提醒"), 384, 21, 300, 24,
                                QStringLiteral("发送桌面通知（可点开文章）"));
    desktopAlertCheck->setChecked(kDesktopAlertTicked);

    settingsGroup = placeControl<QGroupBox>(this, QStringLiteral("设置"), 6, 90, 704, 150,
                                            QStringLiteral("软件设置"));
    autostartCheck = placeControl<QCheckBox>(
        settingsGroup, QStringLiteral("登录时启动框"), 16, 21, 600, 24,
        QStringLiteral("登录桌面时自动启动，隐藏在托盘中并开始监控勾选的方案"));
    brokenAfterLabel =
        placeControl<QLabel>(settingsGroup, QStringLiteral("失效次数标签"), 16, 51, 200, 24,
                             QStringLiteral("连续检查失败几次后视为方案失效："));
    brokenAfterBox =
        placeControl<QSpinBox>(settingsGroup, QStringLiteral("失效次数框"), 216, 52, 60, 22);
    brokenAfterBox->setRange(1, kBrokenAfterMost);
    brokenAfterBox->setValue(kBrokenAfterStart);
    brokenAfterLabel->setBuddy(brokenAfterBox);

    databaseGroup = placeControl<QGroupBox>(this, QStringLiteral("数据库框"), 6, 253, 704, 124,
                                            QStringLiteral("数据库维护"));
    sqlEdit = placeControl<QPlainTextEdit>(databaseGroup, QStringLiteral("sql框"), 8, 20, 688, 88);
    sqlEdit->setPlainText(QStringLiteral("update info set issoucang=1 where id=671"));
    sqlEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sqlEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    runSqlButton = placeControl<QPushButton>(databaseGroup, QStringLiteral("按钮_执行SQL"), 609, 68,
                                             80, 32, QStringLiteral("执行SQL命令"));
    runSqlButton->raise();
}

}  // namespace lumo
