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
// Layout only; the editor and the rule test bring the behaviour. The page starts empty: the
// window has placeControls() make the units when the page is first needed.
class PlanEditorPage : public QWidget {
    Q_OBJECT
public:
    explicit PlanEditorPage(QWidget* parent = nullptr);

    // Makes every unit below; once.
    void placeControls();

    ReportListView* testResultList = nullptr;
    QPlainTextEdit* cutRegionBox = nullptr;
    QGroupBox* planGroup = nullptr;
    QLineEdit* nameEdit = nullptr;
    QCheckBox* gbkCheck = nullptr;
    QLineEdit* titleIndexEdit = nullptr;
    QLineEdit* otherIndexEdit = nullptr;
    QLineEdit* idIndexEdit = nullptr;
    QLineEdit* urlEdit = nullptr;
    QLineEdit* linkTemplateEdit = nullptr;
    QLineEdit* cutStartEdit = nullptr;
    QLineEdit* cutEndEdit = nullptr;
    QRadioButton* newestFirstRadio = nullptr;
    QRadioButton* oldestFirstRadio = nullptr;
    QRadioButton* compareIdRadio = nullptr;
    QComboBox* patternBox = nullptr;
    QPlainTextEdit* cookieEdit = nullptr;
    QTextBrowser* hintBrowser = nullptr;  // the hint bar
    QGroupBox* planIdGroup = nullptr;
    QLineEdit* planIdEdit = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* testButton = nullptr;
    QLineEdit* userAgentEdit = nullptr;

    // The hint bar's style sheet, applied to whatever HTML it shows.
    static QString hintStyleSheet();

private:
    // The steps of placeControls(), one row or group of the page each, in their tab order.
    void placeTestDisplay();
    void placeNameAndIndexes(QWidget* group);
    void placeAddressAndRegion(QWidget* group);
    void placePattern(QWidget* group);
    void placeCookieAndHint(QWidget* group);
    void placeSaveGroup(QWidget* group);
    void placeUserAgent(QWidget* group);
};

}  // namespace lumo
