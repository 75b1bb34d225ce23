#include "gui/window/StatusLogBox.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QThread>

#include "gui/window/UiText.h"

namespace lumo {
namespace {
// The box shows CR LF (and a lone CR or LF) as one line break.
QString shownText(const Text& text) {
    QString shown = qtText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
}  // namespace

StatusLogBox::StatusLogBox(QPlainTextEdit* box, QObject* parent) : QObject(parent), box_(box) {}

void StatusLogBox::append(const Text& piece) {
    if (QThread::currentThread() == thread()) {
        appendNow(piece);
    } else {
        QMetaObject::invokeMethod(
            this, [this, piece] { appendNow(piece); }, Qt::QueuedConnection);
    }
}

void StatusLogBox::replace(const Text& content) {
    if (QThread::currentThread() == thread()) {
        replaceNow(content);
    } else {
        QMetaObject::invokeMethod(
            this, [this, content] { replaceNow(content); }, Qt::QueuedConnection);
    }
}

void StatusLogBox::appendNow(const Text& piece) {
    if (box_ == nullptr) return;
    QTextCursor cursor = box_->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shownText(piece));
    box_->setTextCursor(cursor);
    box_->ensureCursorVisible();
}

void StatusLogBox::replaceNow(const Text& content) {
    if (box_ == nullptr) return;
    box_->setPlainText(shownText(content));
    box_->moveCursor(QTextCursor::End);
}

Text StatusLogBox::text() const {
    if (box_ == nullptr) return Text();
    QString plain = box_->toPlainText();
    plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return gbkText(plain);
}

}  // namespace lumo
