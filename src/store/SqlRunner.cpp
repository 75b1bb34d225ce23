#include "store/SqlRunner.h"

#include "base/GbkCodec.h"
#include "base/NowText.h"
#include "base/TextOps.h"

namespace lumo {

SqlRunner::SqlRunner(DatabaseConnection& database, StatusLog& log, MessagePresenter& messages)
    : database_(database), log_(log), messages_(messages) {}

namespace {
const Text& successText() {
    static const Text text = gbk("成功！SQL：");
    return text;
}
const Text& failureText() {
    static const Text text = gbk("执行出错！错误代码：");
    return text;
}
}  // namespace

Text SqlRunner::successLine(const Text& sql) {
    return "\r\n" + sql + successText() + sql;
}

Text SqlRunner::busyNote(int waitedMs) {
    return gbk("数据库正被另一连接写入，等了 ") + textOfInteger(waitedMs) +
           gbk(" 毫秒仍未轮到，已放弃：什么也没有写入，请稍后再试。");
}

void SqlRunner::noteBusy(int errorCode) {
    if (errorCode != kBusyCode) return;
    log_.append("\r\n" + busyNote(database_.busyTimeout()) + "----" + nowText());
}

DatabaseConnection::BatchOutcome SqlRunner::runAll(const TextList& statements) {
    DatabaseConnection::BatchOutcome outcome = database_.executeAll(statements);
    if (!outcome.ok) {
        const Text result = failureText() + textOfInteger(outcome.errorCode);
        messages_.showMessage(result, kDefaultCaption);
        log_.append("\r\n" + outcome.statement + result);
        noteBusy(outcome.errorCode);
    }
    return outcome;
}

Text SqlRunner::runSql(const Text& sql) {
    const Text& kSuccess = successText();
    const Text& kFailure = failureText();
    const Status outcome = database_.execute(sql);
    Text result;
    if (outcome.ok()) {
        result = kSuccess + sql;
    } else {
        result = kFailure + textOfInteger(outcome.code());
        messages_.showMessage(result, kDefaultCaption);
    }
    log_.append("\r\n" + sql + result);
    if (!outcome.ok()) noteBusy(outcome.code());
    return result;
}

}  // namespace lumo
