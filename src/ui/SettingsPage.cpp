#include "ui/SettingsPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/Placement.h"

namespace lumo {

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {
    // The empty cover label lies beneath everything else, so the options and the console stay
    // usable.
    遮挡层 = placeControl<QLabel>(this, QStringLiteral("遮挡层"), -10, 20, 736, 430);
    遮挡层->lower();

    提醒分组框 = placeControl<QGroupBox>(this, QStringLiteral("提醒分组框"), 6, 33, 704, 56,
                                         QStringLiteral("发现新文章时提醒方式："));
    图标提醒 = placeControl<QCheckBox>(提醒分组框, QStringLiteral("图标提醒"), 16, 21, 184, 24,
                                       QStringLiteral("更换右下角托盘图标"));
    图标提醒->setChecked(true);
    语音提醒 = placeControl<QCheckBox>(提醒分组框, QStringLiteral("语音提醒"), 200, 21, 184, 24,
                                       QStringLiteral("播放提示音"));
    语音提醒->setChecked(true);

    设置 = placeControl<QGroupBox>(this, QStringLiteral("设置"), 6, 90, 704, 150,
                                   QStringLiteral("软件设置"));

    数据库框 = placeControl<QGroupBox>(this, QStringLiteral("数据库框"), 6, 253, 704, 124,
                                       QStringLiteral("数据库维护"));
    sql框 = placeControl<QPlainTextEdit>(数据库框, QStringLiteral("sql框"), 8, 20, 688, 88);
    sql框->setPlainText(QStringLiteral("update info set issoucang=1 where id=671"));
    sql框->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sql框->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    按钮_执行SQL = placeControl<QPushButton>(数据库框, QStringLiteral("按钮_执行SQL"), 609, 68, 80,
                                             32, QStringLiteral("执行SQL命令"));
    按钮_执行SQL->raise();
}

}  // namespace lumo
