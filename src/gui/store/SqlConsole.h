#pragma once

#include <QObject>

#include "base/MessagePresenter.h"
#include "store/SqlRunner.h"

class QPlainTextEdit;
class QPushButton;

namespace lumo {

// The SQL console on the page "高级设置": runs whatever the user typed in `sql框` through runSql
// and shows the result text in a box captioned "SQL执行结果". Nothing is reloaded and the text
// stays. Window thread only.
class SqlConsole : public QObject {
    Q_OBJECT
public:
    SqlConsole(QPlainTextEdit* sqlBox, QPushButton* runButton, SqlRunner& runner,
               MessagePresenter& messages, QObject* parent = nullptr);

    // The console command: the whole text, untrimmed, through runSql; returns the result text.
    Text runConsoleCommand();

private:
    QPlainTextEdit* sqlBox_;
    SqlRunner& runner_;
    MessagePresenter& messages_;
};

}  // namespace lumo
