#include "store/SqlRunner.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo {

SqlRunner::SqlRunner(DatabaseConnection& database, StatusLog& log, MessagePresenter& messages)
    : database_(database), log_(log), messages_(messages) {}

Text SqlRunner::runSql(const Text& sql) {
    static const Text kSuccess = gbk("成功！SQL：");
    static const Text kFailure = gbk("执行出错！错误代码：");
    const DatabaseConnection::Outcome outcome = database_.executeWithCode(sql);
    Text result;
    if (outcome.ok) {
        result = kSuccess + sql;
    } else {
        result = kFailure + textOfInteger(outcome.errorCode);
        messages_.showMessage(result, kDefaultCaption);
    }
    log_.append("\r\n" + sql + result);
    return result;
}

}  // namespace lumo
