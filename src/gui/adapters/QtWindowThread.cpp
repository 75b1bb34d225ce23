#include "gui/adapters/QtWindowThread.h"

namespace lumo {

QtWindowThread::QtWindowThread(QObject* parent) : QObject(parent) {}

void QtWindowThread::post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this, [work = std::move(work)] { work(); }, Qt::QueuedConnection);
}

}  // namespace lumo
