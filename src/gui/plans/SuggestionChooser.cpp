#include "gui/plans/SuggestionChooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/adapters/UiText.h"

namespace lumo {
namespace {

QString itemText(const Suggestion& suggestion) {
    QString text = QStringLiteral("%1 篇").arg(suggestion.matchCount);
    for (std::size_t i = 0; i < suggestion.titles.size() &&
                            i < static_cast<std::size_t>(SuggestionChooser::kTitlesShown);
         ++i) {
        text +=
            (i == 0 ? QStringLiteral("：") : QStringLiteral(" ｜ ")) + qtText(suggestion.titles[i]);
    }
    return text;
}

QString itemTip(const Suggestion& suggestion) {
    const MonitorPlan& plan = suggestion.plan;
    return QStringLiteral("采集区域：%1 ~ %2\n正则匹配：%3\n合成网址：%4")
        .arg(qtText(plan[MonitorPlan::before]), qtText(plan[MonitorPlan::after]),
             qtText(plan[MonitorPlan::regular]), qtText(plan[MonitorPlan::buquan]));
}

}  // namespace

SuggestionChooser::SuggestionChooser(const std::vector<Suggestion>& suggestions, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("suggestionChooser"));
    setWindowTitle(QStringLiteral("从网页生成方案"));
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(
        QStringLiteral(
            "页面中找到以下文章列表（最可能的在前）。选定一个填入方案，再做规则测试后保存："),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("suggestionList"));
    for (const Suggestion& suggestion : suggestions) {
        auto* item = new QListWidgetItem(itemText(suggestion), list_);
        item->setToolTip(itemTip(suggestion));
    }
    if (list_->count() > 0) list_->setCurrentRow(0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("填入方案"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(this, &QDialog::accepted, this, [this] {
        if (selectedIndex() >= 0) emit chosen(selectedIndex());
    });
    resize(560, 260);
}

int SuggestionChooser::selectedIndex() const {
    return list_->currentRow();
}

}  // namespace lumo
