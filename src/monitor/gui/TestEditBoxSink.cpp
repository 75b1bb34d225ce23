#include "monitor/gui/TestEditBoxSink.h"

#include <QPlainTextEdit>
#include <QThread>

#include "ui/UiText.h"

namespace lumo {

TestEditBoxSink::TestEditBoxSink(QPlainTextEdit* box, QObject* parent)
    : QObject(parent), box_(box) {}

void TestEditBoxSink::setTestEditText(const Text& text) {
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
