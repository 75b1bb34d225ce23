#pragma once

#include <functional>
#include <vector>

class QWidget;

namespace lumo {

// A tab page whose controls are made the first time they are needed, so that a page nobody opens
// costs the window no memory. The page itself (an empty widget in its tab) exists from the start;
// build() makes its controls once and then runs, in order, the hooks that waited for them.
//
// Window thread only.
class LazyPage {
public:
    // Makes the page's controls inside `page`.
    using Builder = std::function<void(QWidget& page)>;

    LazyPage(QWidget* page, Builder builder);

    QWidget* page() const { return page_; }
    bool isBuilt() const { return built_; }

    // Makes the controls unless they are there; later calls do nothing.
    void build();

    // Runs `hook` once the controls are there: at once when they already are.
    void whenBuilt(std::function<void()> hook);

private:
    // The controls just made stand where they would had they been made with the page: right
    // after it in the keyboard focus order, and shown if the page already is.
    void settleControls();
    // Takes focus, and no widget between it and the page does.
    bool isOutermostFocusTaker(const QWidget& control) const;

    QWidget* page_;
    Builder builder_;
    bool built_ = false;
    std::vector<std::function<void()>> hooks_;
};

}  // namespace lumo
