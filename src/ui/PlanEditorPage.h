#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTextBrowser;

namespace lumo {

class ReportListView;

// Page "方案操作": the plan editor's units in `分组框1`, the rule test's table and text box.
// Layout only; the editor and the rule test bring the behaviour.
class PlanEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit PlanEditorPage(QWidget* parent = nullptr);

    ReportListView* 测试列表框 = nullptr;
    QPlainTextEdit* 测试编辑框 = nullptr;
    QGroupBox* 分组框1 = nullptr;
    QLineEdit* 编辑框_站名 = nullptr;
    QCheckBox* gbk = nullptr;
    QLineEdit* tindex框 = nullptr;
    QLineEdit* oindex框 = nullptr;
    QLineEdit* uindex框 = nullptr;
    QLineEdit* 编辑框_网址 = nullptr;
    QLineEdit* 补全框 = nullptr;
    QLineEdit* 采集前 = nullptr;
    QLineEdit* 采集后 = nullptr;
    QRadioButton* 单选框1 = nullptr;
    QRadioButton* 单选框2 = nullptr;
    QRadioButton* 单选框3 = nullptr;
    QComboBox* 正则框 = nullptr;
    QPlainTextEdit* cookie框 = nullptr;
    QTextBrowser* 测试提示 = nullptr;  // the hint bar
    QGroupBox* 分组框2 = nullptr;
    QLineEdit* 项目编号框 = nullptr;
    QPushButton* 按钮_保存配置 = nullptr;
    QPushButton* 按钮_测试配置 = nullptr;
    QLineEdit* ua框 = nullptr;

    // The hint bar's style sheet, applied to whatever HTML it shows.
    static QString hintStyleSheet();
    // The hint the bar shows when the editor opens.
    static QString initialHint();
};

}  // namespace lumo
