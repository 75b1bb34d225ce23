#include "gui/adapters/QtMessagePresenter.h"

#include <QMessageBox>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <future>

#include "gui/adapters/UiText.h"

namespace lumo {

// One waiting thread's box: the promise is kept once, when the box closes or everything closes.
struct QtMessagePresenter::Request {
    std::promise<void> closed;
    bool released = false;
    QPointer<QMessageBox> box;
};

QtMessagePresenter::QtMessagePresenter(QObject* parent) : QObject(parent) {}

QtMessagePresenter::~QtMessagePresenter() {
    closeAll();
}

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
    auto request = std::make_shared<Request>();
    std::future<void> closed = request->closed.get_future();
    {
        std::lock_guard lock(mutex_);
        if (closed_) return;
        waiting_.push_back(request);
    }
    QMetaObject::invokeMethod(
        this, [this, request, text, caption] { openBox(request, text, caption); },
        Qt::QueuedConnection);
    closed.wait();
}

void QtMessagePresenter::openBox(const std::shared_ptr<Request>& request, const Text& text,
                                 const Text& caption) {
    {
        std::lock_guard lock(mutex_);
        if (request->released) return;  // everything closed before the box could open
    }
    auto* box =
        new QMessageBox(QMessageBox::NoIcon, qtText(caption), qtText(text), QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    request->box = box;
    connect(box, &QMessageBox::finished, this, [this, request, box] {
        box->deleteLater();
        release(request);
    });
    box->show();
}

void QtMessagePresenter::release(const std::shared_ptr<Request>& request) {
    std::lock_guard lock(mutex_);
    if (request->released) return;
    request->released = true;
    request->closed.set_value();
    waiting_.erase(std::remove(waiting_.begin(), waiting_.end(), request), waiting_.end());
}

void QtMessagePresenter::closeAll() {
    std::vector<std::shared_ptr<Request>> waiting;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        waiting = waiting_;
    }
    for (const std::shared_ptr<Request>& request : waiting) {
        if (QMessageBox* box = request->box) {
            box->disconnect(this);
            box->close();
            box->deleteLater();
        }
        release(request);
    }
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
