#pragma once

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lumo {

// Page "高级设置": the alert options and the SQL console. Layout only.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr);

    QGroupBox* 提醒分组框 = nullptr;
    QCheckBox* 图标提醒 = nullptr;
    QCheckBox* 语音提醒 = nullptr;
    QGroupBox* 设置 = nullptr;
    QGroupBox* 数据库框 = nullptr;
    QPlainTextEdit* sql框 = nullptr;
    QPushButton* 按钮_执行SQL = nullptr;
    QLabel* 遮挡层 = nullptr;
};

}  // namespace lumo
