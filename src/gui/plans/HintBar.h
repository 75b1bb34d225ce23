#pragma once

#include <QObject>

#include "base/Text.h"
#include "check/MonitorPlan.h"

class QTextBrowser;
class QWidget;

namespace lumo {

class HelpPage;

// The one-line HTML hint view `测试提示` of the plan editor: shows the hint of the unit that
// receives the keyboard focus, and opens the pattern help page when its link "获取帮助" is
// clicked. Units without a hint leave the last hint in place. The view comes with the editor's
// first hint (initialEditorHint), which stands until a unit with a hint gets the focus.
//
// Window thread only.
class HintBar : public QObject {
    Q_OBJECT
public:
    HintBar(QTextBrowser* view, HelpPage& help, QObject* parent = nullptr);

    // Shows the hint of `column` whenever `unit` receives the focus (no hint: nothing changes).
    void watch(QWidget* unit, MonitorPlan::Column column);

    // Replaces the content with `html`, a GBK text read as HTML.
    void showHint(const Text& html);

    // The HTML last shown through showHint(); empty while the first hint stands.
    const Text& hint() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextBrowser* view_;
    HelpPage& help_;
    Text hint_;
};

}  // namespace lumo
