#pragma once

#include <QObject>
#include <QPointer>

#include "base/StatusLog.h"

class QPlainTextEdit;

namespace lumo {

// The status log over the window's multi-line box `状态`. Lines carry CR LF; the box shows them
// as line breaks. A replaced text shows from its start; appended lines keep the end in view.
//
// append() and replace() may be called from any thread: off the window thread the work is
// queued to it, in order. text() is window thread only.
class StatusLogBox : public QObject, public StatusLog {
    Q_OBJECT
public:
    // The box holds at most this many lines and about this many characters: the oldest lines go
    // first. A round replaces the log and stays far below both.
    static constexpr int kMaxLines = 5000;
    static constexpr int kMaxCharacters = 2'000'000;

    explicit StatusLogBox(QPlainTextEdit* box, QObject* parent = nullptr);

    void append(const Text& piece) override;
    void replace(const Text& content) override;

    // The log's content as a GBK text, line breaks as CR LF.
    Text text() const;

private:
    void appendNow(const Text& piece);
    void replaceNow(const Text& content);
    void dropOldestBeyondCharacterLimit();

    QPointer<QPlainTextEdit> box_;
};

}  // namespace lumo
