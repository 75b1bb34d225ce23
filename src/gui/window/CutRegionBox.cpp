#include "gui/window/CutRegionBox.h"

#include <QPlainTextEdit>
#include <QThread>
#include <utility>

#include "gui/window/UiText.h"

namespace lumo {

CutRegionBox::CutRegionBox(QPlainTextEdit* box, QObject* parent) : QObject(parent) {
    if (box != nullptr) attach(box);
}

void CutRegionBox::attach(QPlainTextEdit* box) {
    box_ = box;
    attached_ = true;
    if (!kept_.empty()) show(std::exchange(kept_, Text()));
}

void CutRegionBox::showCutRegion(const Text& text) {
    if (QThread::currentThread() == thread()) {
        show(text);
    } else {
        QMetaObject::invokeMethod(
            this, [this, text] { show(text); }, Qt::QueuedConnection);
    }
}

void CutRegionBox::show(const Text& text) {
    if (!attached_) {
        kept_ = text;
    } else if (box_) {
        box_->setPlainText(qtText(text));
    }
}

}  // namespace lumo
