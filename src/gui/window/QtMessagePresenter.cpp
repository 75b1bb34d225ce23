#include "gui/window/QtMessagePresenter.h"

#include <QMessageBox>
#include <QThread>

#include "gui/window/UiText.h"

namespace lumo {

QtMessagePresenter::QtMessagePresenter(QObject* parent) : QObject(parent) {}

void QtMessagePresenter::showBox(const Text& text, const Text& caption) {
    QMessageBox box(QMessageBox::NoIcon, qtText(caption), qtText(text), QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void QtMessagePresenter::showMessage(const Text& text, const Text& caption) {
    if (QThread::currentThread() == thread()) {
        showBox(text, caption);
        return;
    }
    // From a worker: the window thread shows the box while this thread waits for it to close.
    QMetaObject::invokeMethod(
        this, [text, caption] { showBox(text, caption); }, Qt::BlockingQueuedConnection);
}

bool QtMessagePresenter::askYesNo(const Text& text, const Text& caption) {
    const auto ask = [text, caption] {
        QMessageBox box(QMessageBox::Question, qtText(caption), qtText(text),
                        QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        box.setWindowModality(Qt::ApplicationModal);
        return box.exec() == QMessageBox::Yes;
    };
    if (QThread::currentThread() == thread()) return ask();
    bool yes = false;
    QMetaObject::invokeMethod(
        this, [&yes, ask] { yes = ask(); }, Qt::BlockingQueuedConnection);
    return yes;
}

}  // namespace lumo
