#include "gui/plans/PlanEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/TextOps.h"
#include "check/JudgementMode.h"
#include "gui/adapters/UiText.h"
#include "gui/plans/HintBar.h"
#include "gui/plans/PlanList.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/TabControl.h"
#include "plans/PlanEditorRules.h"
#include "store/SqlRunner.h"

namespace lumo {
namespace {

// The radios' modes as the stored integers: a mode outside the enum is kept as loaded.
constexpr int kNewestFirst = static_cast<int>(JudgementMode::NewestFirst);
constexpr int kOldestFirst = static_cast<int>(JudgementMode::OldestFirst);
constexpr int kCompareArticleId = static_cast<int>(JudgementMode::CompareArticleId);

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

PlanEditor::PlanEditor(MainWindow& window, PlanList& planList, DatabaseConnection& database,
                       MessagePresenter& messages, HelpPage& help, QObject* parent)
    : QObject(parent),
      window_(window),
      page_(*window.editorPage()),
      planList_(planList),
      database_(database),
      messages_(messages),
      hintBar_(std::make_unique<HintBar>(page_.hintBrowser, help)) {
    // The pattern box takes what is typed as typed: no completion from its list entries.
    page_.patternBox->setCompleter(nullptr);

    // A change of the pattern by the user, a pick from the list or an edit, asks for a new test.
    connect(page_.patternBox, &QComboBox::activated, this,
            [this] { page_.saveButton->setEnabled(false); });
    connect(page_.patternBox->lineEdit(), &QLineEdit::textEdited, this,
            [this] { page_.saveButton->setEnabled(false); });

    connect(page_.newestFirstRadio, &QRadioButton::clicked, this,
            [this] { setJudgementMode(kNewestFirst); });
    connect(page_.oldestFirstRadio, &QRadioButton::clicked, this,
            [this] { setJudgementMode(kOldestFirst); });
    connect(page_.compareIdRadio, &QRadioButton::clicked, this,
            [this] { setJudgementMode(kCompareArticleId); });
    connect(page_.saveButton, &QPushButton::clicked, this, [this] { savePlan(); });

    for (MonitorPlan::Column column : kEditorTextColumns) hintBar_->watch(unitOf(column), column);
    hintBar_->watch(page_.patternBox->lineEdit(), MonitorPlan::regular);
    hintBar_->watch(page_.gbkCheck, MonitorPlan::code);
}

PlanEditor::~PlanEditor() = default;

QWidget* PlanEditor::unitOf(MonitorPlan::Column column) const {
    switch (column) {
        case MonitorPlan::name:
            return page_.nameEdit;
        case MonitorPlan::url:
            return page_.urlEdit;
        case MonitorPlan::before:
            return page_.cutStartEdit;
        case MonitorPlan::after:
            return page_.cutEndEdit;
        case MonitorPlan::regular:
            return page_.patternBox;
        case MonitorPlan::buquan:
            return page_.linkTemplateEdit;
        case MonitorPlan::cookie:
            return page_.cookieEdit;
        case MonitorPlan::ua:
            return page_.userAgentEdit;
        case MonitorPlan::tindex:
            return page_.titleIndexEdit;
        case MonitorPlan::uindex:
            return page_.idIndexEdit;
        case MonitorPlan::oindex:
            return page_.otherIndexEdit;
        case MonitorPlan::code:
            return page_.gbkCheck;
        case MonitorPlan::id:
            return page_.planIdEdit;
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
    window_.statusBox->setVisible(false);
    window_.tabs->setCurrentIndex(MainWindow::EditorTab);
    fill(editorContentOf(mode, row), mode);
}

void PlanEditor::fill(const MonitorPlan& content, PlanEditMode mode) {
    page_.planIdEdit->setText(qtText(content[MonitorPlan::id]));
    page_.saveButton->setText(qtText(saveButtonCaption(mode)));
    page_.gbkCheck->setChecked(content[MonitorPlan::code] != "0");
    setJudgementMode(integerOfText(content[MonitorPlan::type]));
    for (MonitorPlan::Column column : kEditorTextColumns) {
        setUnitText(unitOf(column), content[column]);
    }
}

void PlanEditor::setJudgementMode(int mode) {
    judgementMode_ = mode;
    const JudgementRadios radios = judgementRadiosOf(mode);
    page_.idIndexEdit->setEnabled(radios.uindexEnabled);
    // The radios are one exclusive group: selecting one clears the other two.
    QRadioButton* const radio[] = {page_.newestFirstRadio, page_.oldestFirstRadio,
                                   page_.compareIdRadio};
    radio[radios.selected - 1]->setChecked(true);
}

Text PlanEditor::editorPlanId() const {
    return gbkText(page_.planIdEdit->text());
}

MonitorPlan PlanEditor::editorPlan() const {
    MonitorPlan plan;
    plan[MonitorPlan::id] = editorPlanId();
    plan[MonitorPlan::code] = Text(1, page_.gbkCheck->isChecked() ? '1' : '0');
    plan[MonitorPlan::type] = textOfInteger(judgementMode_);
    for (MonitorPlan::Column column : kEditorTextColumns) {
        plan[column] = unitText(unitOf(column));
    }
    return plan;
}

bool PlanEditor::savePlan() {
    const Text statement = planSaveStatement(editorPlan());
    const Status outcome = database_.execute(statement);
    const bool saved = outcome.ok();
    SaveReport report = saveReportOf(statement, saved);
    if (outcome.code() == SqlRunner::kBusyCode) {
        report.text += "\r\n" + SqlRunner::busyNote(database_.busyTimeout());
    }
    messages_.showMessage(report.text, report.caption);
    if (!saved) return false;  // everything typed stays for another try
    loadPlanIntoEditor(PlanEditMode::New);
    planList_.loadPlanList();
    setJudgementMode(kNewestFirst);
    return true;
}

void PlanEditor::fillFromSuggestion(const MonitorPlan& suggested) {
    static constexpr MonitorPlan::Column kSuggested[] = {
        MonitorPlan::before, MonitorPlan::after,  MonitorPlan::regular, MonitorPlan::buquan,
        MonitorPlan::tindex, MonitorPlan::uindex, MonitorPlan::oindex};
    for (MonitorPlan::Column column : {MonitorPlan::name, MonitorPlan::ua}) {
        auto* box = qobject_cast<QLineEdit*>(unitOf(column));
        if (box->text().trimmed().isEmpty()) setUnitText(box, suggested[column]);
    }
    page_.gbkCheck->setChecked(suggested[MonitorPlan::code] == "1");
    for (MonitorPlan::Column column : kSuggested) setUnitText(unitOf(column), suggested[column]);
    setJudgementMode(integerOfText(suggested[MonitorPlan::type]));
    page_.saveButton->setEnabled(false);
}

void PlanEditor::enableSave(const MonitorPlan& tested) {
    if (holdsTheTestedFields(editorPlan(), tested)) page_.saveButton->setEnabled(true);
}

}  // namespace lumo
