#pragma once

#include <QObject>
#include <memory>
#include <mutex>
#include <vector>

#include "base/MessagePresenter.h"

namespace lumo {

// Message boxes as QMessageBoxes with no owner window and an OK button.
//
// On the window thread showMessage() shows an application-modal box and returns when it is
// closed. From any other thread it asks the window thread for a box that blocks nothing else,
// and waits until that box is closed: meanwhile the window stays usable (a click on `运行` can
// stop monitoring). closeAll() (and destruction) takes such boxes down and releases every waiting
// thread; from then on a request from another thread returns at once.
//
// Thread-safety: showMessage() from any thread; closeAll() and destruction on the window thread.
class QtMessagePresenter : public QObject, public MessagePresenter {
    Q_OBJECT
public:
    explicit QtMessagePresenter(QObject* parent = nullptr);
    ~QtMessagePresenter() override;

    void showMessage(const Text& text, const Text& caption) override;
    bool askYesNo(const Text& text, const Text& caption) override;

    // For the program's end: no thread waits for a box any more.
    void closeAll();

    // Like showMessage on the window thread, with no icon (the database-missing box is drawn
    // without one).
    static void showBox(const Text& text, const Text& caption);

private:
    struct Request;
    void openBox(const std::shared_ptr<Request>& request, const Text& text, const Text& caption);
    void release(const std::shared_ptr<Request>& request);

    std::mutex mutex_;
    bool closed_ = false;
    std::vector<std::shared_ptr<Request>> waiting_;
};

}  // namespace lumo
