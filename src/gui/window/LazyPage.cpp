#include "gui/window/LazyPage.h"

#include <QWidget>

namespace lumo {

LazyPage::LazyPage(QWidget* page, Builder builder) : page_(page), builder_(std::move(builder)) {}

void LazyPage::build() {
    if (built_) return;
    built_ = true;
    builder_(*page_);
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

void LazyPage::keepFocusOrder(QWidget& page, QWidget* control) {
    // Right after the page, as if made with it. The page takes no focus itself, and Qt orders
    // only widgets that take it, so the page takes it for the moment of the move.
    const Qt::FocusPolicy policy = page.focusPolicy();
    page.setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(&page, control);
    page.setFocusPolicy(policy);
}

}  // namespace lumo
