#pragma once

#include <QObject>

#include "base/MessagePresenter.h"

namespace lumo {

// Message boxes as application-modal QMessageBoxes with no owner window and an OK button.
//
// showMessage() may be called from any thread: off the window thread it blocks the caller until
// the window thread has shown the box and the user has closed it.
class QtMessagePresenter : public QObject, public MessagePresenter {
    Q_OBJECT
public:
    explicit QtMessagePresenter(QObject* parent = nullptr);

    void showMessage(const Text& text, const Text& caption) override;
    bool askYesNo(const Text& text, const Text& caption) override;

    // Like showMessage, with no icon (the database-missing box is drawn without one).
    static void showBox(const Text& text, const Text& caption);
};

}  // namespace lumo
