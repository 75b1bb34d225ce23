#include "gui/plans/HintBar.h"

#include <QEvent>
#include <QTextBrowser>
#include <QUrl>

#include "gui/adapters/UiText.h"
#include "gui/plans/HelpPage.h"
#include "plans/PlanEditorRules.h"

namespace lumo {
namespace {
const char* const kColumnProperty = "lumoHintColumn";
}  // namespace

HintBar::HintBar(QTextBrowser* view, HelpPage& help, QObject* parent)
    : QObject(parent), view_(view), help_(help) {
    view_->setOpenLinks(false);
    view_->setOpenExternalLinks(false);
    connect(view_, &QTextBrowser::anchorClicked, this, [this](const QUrl& target) {
        if (target.toString() == QString::fromLatin1(kPatternHelpTarget)) help_.open();
    });
}

void HintBar::watch(QWidget* unit, MonitorPlan::Column column) {
    if (!fieldHint(column)) return;
    unit->setProperty(kColumnProperty, static_cast<int>(column));
    unit->installEventFilter(this);
}

void HintBar::showHint(const Text& html) {
    hint_ = html;
    view_->setHtml(qtText(html));
}

bool HintBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const QVariant column = watched->property(kColumnProperty);
        if (column.isValid()) {
            const auto hint = fieldHint(static_cast<MonitorPlan::Column>(column.toInt()));
            if (hint) showHint(*hint);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace lumo
