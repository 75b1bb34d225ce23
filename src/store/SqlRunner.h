#pragma once

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "store/DatabaseConnection.h"

namespace lumo {

// The logged execution of a modifying statement whose outcome the user should see.
//
// Thread-safety: runSql may be called from the window thread and a monitoring worker at once; the
// database serialises the statements, the log takes each line as one piece, and a failure box is
// shown by the window thread while the caller waits.
class SqlRunner {
public:
    SqlRunner(DatabaseConnection& database, StatusLog& log, MessagePresenter& messages);

    // Executes `sql`; on failure shows "执行出错！错误代码：<code>" (caption "信息：") and waits
    // for the box to close. Appends CR LF + sql + the result text to the log in one piece, and
    // returns the result text: "成功！SQL：" + sql on success.
    Text runSql(const Text& sql);

    // Executes `statements` as one transaction (DatabaseConnection::executeAll). On failure nothing
    // is stored, one line (CR LF + the failing statement + "执行出错！错误代码：<code>") is
    // appended and one box is shown, whatever the number of statements. On success nothing is
    // logged: the caller appends successLine() of each statement when it reports them.
    DatabaseConnection::BatchOutcome runAll(const TextList& statements);

    // The line runSql() appends for a statement that succeeded: CR LF + sql + "成功！SQL：" + sql.
    static Text successLine(const Text& sql);
    // The connection it runs on, for statements whose outcome is reported otherwise.
    DatabaseConnection& database() const { return database_; }

    // What the user is told when a statement gave up waiting for another connection's lock
    // (SQLITE_BUSY) after `waitedMs`: nothing was written, try again later. runSql() and runAll()
    // append it as a line of its own, with the time, after the failure line.
    static Text busyNote(int waitedMs);
    static constexpr int kBusyCode = 5;

private:
    void noteBusy(int errorCode);

    DatabaseConnection& database_;
    StatusLog& log_;
    MessagePresenter& messages_;
};

}  // namespace lumo
