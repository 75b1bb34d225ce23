#include "plans/gui/PlanEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/TextOps.h"
#include "plans/PlanEditorRules.h"
#include "plans/gui/HintBar.h"
#include "plans/gui/PlanList.h"
#include "ui/MainWindow.h"
#include "ui/PlanEditorPage.h"
#include "ui/TabControl.h"
#include "ui/UiText.h"

namespace lumo {
namespace {

// The text of a unit, whatever kind of box it is.
Text unitText(const QWidget* unit) {
    if (const auto* line = qobject_cast<const QLineEdit*>(unit)) return gbkText(line->text());
    if (const auto* combo = qobject_cast<const QComboBox*>(unit)) {
        return gbkText(combo->currentText());
    }
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(unit)) {
        return gbkText(plain->toPlainText());
    }
    return Text();
}

void setUnitText(QWidget* unit, const Text& text) {
    if (auto* line = qobject_cast<QLineEdit*>(unit)) {
        line->setText(qtText(text));
    } else if (auto* combo = qobject_cast<QComboBox*>(unit)) {
        combo->setCurrentIndex(-1);
        combo->setEditText(qtText(text));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(unit)) {
        plain->setPlainText(qtText(text));
    }
}

}  // namespace

PlanEditor::PlanEditor(MainWindow& window, PlanList& planList, PlanDatabase& database,
                       MessagePresenter& messages, HelpPage& help, QObject* parent)
    : QObject(parent),
      window_(window),
      page_(*window.editorPage),
      planList_(planList),
      database_(database),
      messages_(messages),
      hintBar_(std::make_unique<HintBar>(page_.测试提示, help)) {
    // The pattern box takes what is typed as typed: no completion from its list entries.
    page_.正则框->setCompleter(nullptr);

    // A change of the pattern by the user, a pick from the list or an edit, asks for a new test.
    connect(page_.正则框, &QComboBox::activated, this,
            [this] { page_.按钮_保存配置->setEnabled(false); });
    connect(page_.正则框->lineEdit(), &QLineEdit::textEdited, this,
            [this] { page_.按钮_保存配置->setEnabled(false); });

    connect(page_.单选框1, &QRadioButton::clicked, this, [this] { setJudgementMode(0); });
    connect(page_.单选框2, &QRadioButton::clicked, this, [this] { setJudgementMode(2); });
    connect(page_.单选框3, &QRadioButton::clicked, this, [this] { setJudgementMode(8); });
    connect(page_.按钮_保存配置, &QPushButton::clicked, this, [this] { savePlan(); });

    for (MonitorPlan::Column column : kEditorTextColumns) hintBar_->watch(unitOf(column), column);
    hintBar_->watch(page_.正则框->lineEdit(), MonitorPlan::regular);
    hintBar_->watch(page_.gbk, MonitorPlan::code);
}

PlanEditor::~PlanEditor() = default;

QWidget* PlanEditor::unitOf(MonitorPlan::Column column) const {
    switch (column) {
        case MonitorPlan::name:
            return page_.编辑框_站名;
        case MonitorPlan::url:
            return page_.编辑框_网址;
        case MonitorPlan::before:
            return page_.采集前;
        case MonitorPlan::after:
            return page_.采集后;
        case MonitorPlan::regular:
            return page_.正则框;
        case MonitorPlan::buquan:
            return page_.补全框;
        case MonitorPlan::cookie:
            return page_.cookie框;
        case MonitorPlan::ua:
            return page_.ua框;
        case MonitorPlan::tindex:
            return page_.tindex框;
        case MonitorPlan::uindex:
            return page_.uindex框;
        case MonitorPlan::oindex:
            return page_.oindex框;
        case MonitorPlan::code:
            return page_.gbk;
        case MonitorPlan::id:
            return page_.项目编号框;
        default:
            return nullptr;
    }
}

void PlanEditor::loadPlanIntoEditor(PlanEditMode mode) {
    MonitorPlan row;
    if (mode != PlanEditMode::New) {
        const int selected = planList_.selectedRow();
        if (selected < 0) return;
        row = planList_.planAt(selected);
    }
    window_.状态->setVisible(false);
    window_.选择夹->setCurrentIndex(MainWindow::EditorPage);
    fill(editorContentOf(mode, row), mode);
}

void PlanEditor::fill(const MonitorPlan& content, PlanEditMode mode) {
    page_.项目编号框->setText(qtText(content[MonitorPlan::id]));
    page_.按钮_保存配置->setText(qtText(saveButtonCaption(mode)));
    page_.gbk->setChecked(content[MonitorPlan::code] != "0");
    setJudgementMode(integerOfText(content[MonitorPlan::type]));
    for (MonitorPlan::Column column : kEditorTextColumns) {
        setUnitText(unitOf(column), content[column]);
    }
}

void PlanEditor::setJudgementMode(int mode) {
    judgementMode_ = mode;
    const JudgementRadios radios = judgementRadiosOf(mode);
    page_.uindex框->setEnabled(radios.uindexEnabled);
    // The radios are one exclusive group: selecting one clears the other two.
    QRadioButton* const radio[] = {page_.单选框1, page_.单选框2, page_.单选框3};
    radio[radios.selected - 1]->setChecked(true);
}

Text PlanEditor::editorPlanId() const {
    return gbkText(page_.项目编号框->text());
}

MonitorPlan PlanEditor::editorPlan() const {
    MonitorPlan plan;
    plan[MonitorPlan::id] = editorPlanId();
    plan[MonitorPlan::code] = Text(1, page_.gbk->isChecked() ? '1' : '0');
    plan[MonitorPlan::type] = textOfInteger(judgementMode_);
    for (MonitorPlan::Column column : kEditorTextColumns) {
        plan[column] = unitText(unitOf(column));
    }
    return plan;
}

bool PlanEditor::savePlan() {
    const Text statement = planSaveStatement(editorPlan());
    const bool saved = database_.execute(statement);
    const SaveReport report = saveReportOf(statement, saved);
    messages_.showMessage(report.text, report.caption);
    if (!saved) return false;  // everything typed stays for another try
    loadPlanIntoEditor(PlanEditMode::New);
    planList_.loadPlanList();
    setJudgementMode(0);
    return true;
}

void PlanEditor::enableSave(const MonitorPlan& tested) {
    if (holdsTheTestedFields(editorPlan(), tested)) page_.按钮_保存配置->setEnabled(true);
}

}  // namespace lumo
