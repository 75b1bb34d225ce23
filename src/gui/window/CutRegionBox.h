#pragma once

#include <QObject>
#include <functional>

#include "check/CutRegionSink.h"

class QPlainTextEdit;

namespace lumo {

// The region a plan run cut out, shown in the plan editor's box `测试编辑框`. Callable from any
// thread: a worker's text is handed to the window thread, in order, where the box is looked up
// (the window makes the editor's page when it is first needed).
class CutRegionBox : public QObject, public CutRegionSink {
    Q_OBJECT
public:
    // Gives the box, or null when it is gone; called on the window thread.
    using BoxFinder = std::function<QPlainTextEdit*()>;

    explicit CutRegionBox(QPlainTextEdit* box, QObject* parent = nullptr);
    explicit CutRegionBox(BoxFinder findBox, QObject* parent = nullptr);

    void showCutRegion(const Text& text) override;

private:
    BoxFinder findBox_;
};

}  // namespace lumo
