#include "gui/window/CutRegionBox.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QThread>

#include "gui/window/UiText.h"

namespace lumo {

CutRegionBox::CutRegionBox(QPlainTextEdit* box, QObject* parent)
    : CutRegionBox([box = QPointer<QPlainTextEdit>(box)] { return box.data(); }, parent) {}

CutRegionBox::CutRegionBox(BoxFinder findBox, QObject* parent)
    : QObject(parent), findBox_(std::move(findBox)) {}

void CutRegionBox::showCutRegion(const Text& text) {
    const auto show = [this, text] {
        if (QPlainTextEdit* box = findBox_()) box->setPlainText(qtText(text));
    };
    if (QThread::currentThread() == thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
    }
}

}  // namespace lumo
