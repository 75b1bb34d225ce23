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

    QGroupBox* alertGroup = nullptr;
    QCheckBox* trayAlertCheck = nullptr;
    QCheckBox* soundAlertCheck = nullptr;
    QGroupBox* settingsGroup = nullptr;
    QGroupBox* databaseGroup = nullptr;
    QPlainTextEdit* sqlEdit = nullptr;
    QPushButton* runSqlButton = nullptr;
    QLabel* coverLabel = nullptr;
};

}  // namespace lumo
