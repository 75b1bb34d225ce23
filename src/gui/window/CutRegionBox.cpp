#include "gui/window/CutRegionBox.h"

#include <QPlainTextEdit>
#include <QThread>

#include "gui/window/UiText.h"

namespace lumo {

CutRegionBox::CutRegionBox(QPlainTextEdit* box, QObject* parent) : QObject(parent), box_(box) {}

void CutRegionBox::showCutRegion(const Text& text) {
    const auto show = [this, text] {
        if (box_) box_->setPlainText(qtText(text));
    };
    if (QThread::currentThread() == thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
    }
}

}  // namespace lumo
