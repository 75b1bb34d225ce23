#include "gui/store/SqlConsole.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "base/GbkCodec.h"
#include "gui/adapters/UiText.h"

namespace lumo {

SqlConsole::SqlConsole(QPlainTextEdit* sqlBox, QPushButton* runButton, SqlRunner& runner,
                       MessagePresenter& messages, QObject* parent)
    : QObject(parent), sqlBox_(sqlBox), runner_(runner), messages_(messages) {
    connect(runButton, &QPushButton::clicked, this, [this] { runConsoleCommand(); });
}

Text SqlConsole::runConsoleCommand() {
    static const Text kCaption = gbk("SQL执行结果");
    // The box's line breaks are CR LF, as typed into a multi-line text box on the desktop.
    QString typed = sqlBox_->toPlainText();
    typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const Text result = runner_.runSql(gbkText(typed));
    messages_.showMessage(result, kCaption);
    return result;
}

}  // namespace lumo
