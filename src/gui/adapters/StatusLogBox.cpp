#include "gui/adapters/StatusLogBox.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>

#include "gui/adapters/UiText.h"

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

StatusLogBox::StatusLogBox(QPlainTextEdit* box, QObject* parent) : QObject(parent), box_(box) {
    if (box_ != nullptr) box_->setMaximumBlockCount(kMaxLines);
}

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
    dropOldestBeyondCharacterLimit();
    cursor.movePosition(QTextCursor::End);
    box_->setTextCursor(cursor);
    box_->ensureCursorVisible();
}

void StatusLogBox::dropOldestBeyondCharacterLimit() {
    QTextDocument* document = box_->document();
    const int excess = document->characterCount() - kMaxCharacters;
    if (excess <= 0) return;
    // Whole lines go, from the start up to the line that holds the excess; the last line stays.
    const QTextBlock keepFrom = document->findBlock(excess).next();
    const QTextBlock last = document->lastBlock();
    const int cut = keepFrom.isValid() ? keepFrom.position() : last.position();
    if (cut <= 0) return;
    QTextCursor cursor(document);
    cursor.setPosition(cut, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void StatusLogBox::replaceNow(const Text& content) {
    if (box_ == nullptr) return;
    box_->setPlainText(shownText(content));
    // A replaced text (the details of an article, a round's line) is read from its start.
    box_->moveCursor(QTextCursor::Start);
    box_->verticalScrollBar()->setValue(0);
}

Text StatusLogBox::text() const {
    if (box_ == nullptr) return Text();
    QString plain = box_->toPlainText();
    plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return gbkText(plain);
}

}  // namespace lumo
