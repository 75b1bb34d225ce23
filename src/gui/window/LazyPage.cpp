#include "gui/window/LazyPage.h"

#include <QWidget>

namespace lumo {

LazyPage::LazyPage(QWidget* page, Builder builder) : page_(page), builder_(std::move(builder)) {}

void LazyPage::build() {
    if (built_) return;
    built_ = true;
    builder_(*page_);
    settleControls();
    // A hook may ask for the page again: it is built by then, so a later hook runs at once.
    const std::vector<std::function<void()>> hooks = std::move(hooks_);
    hooks_.clear();
    for (const auto& hook : hooks) hook();
}

void LazyPage::whenBuilt(std::function<void()> hook) {
    if (built_) {
        hook();
        return;
    }
    hooks_.push_back(std::move(hook));
}

bool LazyPage::isOutermostFocusTaker(const QWidget& control) const {
    if (control.focusPolicy() == Qt::NoFocus) return false;
    for (const QWidget* up = control.parentWidget(); up != page_; up = up->parentWidget()) {
        if (up->focusPolicy() != Qt::NoFocus) return false;
    }
    return true;
}

void LazyPage::settleControls() {
    // The page's new controls, in the order they were made: new widgets join the end of the
    // window's focus chain.
    std::vector<QWidget*> made;
    QWidget* window = page_->window();
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if (page_->isAncestorOf(w)) made.push_back(w);
    }
    // Qt orders only widgets that take focus, and the page takes none: it does for the moment.
    // Each outermost control that takes focus goes right after the page, its own parts with it,
    // last first, so they keep the order they were made in.
    const Qt::FocusPolicy policy = page_->focusPolicy();
    page_->setFocusPolicy(Qt::TabFocus);
    for (auto control = made.rbegin(); control != made.rend(); ++control) {
        if (isOutermostFocusTaker(**control)) QWidget::setTabOrder(page_, *control);
    }
    page_->setFocusPolicy(policy);
    // Children made after their parent showed stay hidden unless shown; the ones hidden on
    // purpose stay so.
    if (!page_->isVisible()) return;
    for (QWidget* control : made) {
        const bool child = control->parentWidget() == page_;
        if (child && !control->testAttribute(Qt::WA_WState_ExplicitShowHide)) control->show();
    }
}

}  // namespace lumo
