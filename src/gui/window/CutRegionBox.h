#pragma once

#include <QObject>
#include <QPointer>

#include "check/CutRegionSink.h"

class QPlainTextEdit;

namespace lumo {

// The region a plan run cut out, shown in the plan editor's box `测试编辑框`. Callable from any
// thread: a worker's text is handed to the window thread, in order.
class CutRegionBox : public QObject, public CutRegionSink {
    Q_OBJECT
public:
    explicit CutRegionBox(QPlainTextEdit* box, QObject* parent = nullptr);

    void showCutRegion(const Text& text) override;

private:
    QPointer<QPlainTextEdit> box_;
};

}  // namespace lumo
