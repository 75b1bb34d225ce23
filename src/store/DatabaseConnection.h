#pragma once

#include <mutex>

#include "base/Status.h"
#include "base/Text.h"
#include "store/QueryResult.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lumo {

// A connection to lumo.sdb. A program may hold several on one file (the window keeps one for its
// lists and one for the monitoring rounds); SQLite's file locks keep them apart.
//
// The program never creates the database: open() accepts only an existing file. Statements are
// plain SQL texts of GBK bytes; every value comes back as text. A failure's Status carries
// SQLite's result code and message (English); Busy when another connection's lock outlasted the
// busy timeout (SQLITE_BUSY, SQLITE_LOCKED).
//
// Thread-safety: safe to use from the window thread and a monitoring worker at once. One lock
// serialises every operation, so no two overlap; execute() returns the statement's result code
// with it, so no other thread's statement slips between. A busy timeout rides out another process
// briefly holding the file.
class DatabaseConnection {
public:
    // What executeAll() did: all statements committed, or none of them (failedIndex names the
    // statement that failed, or -1 when BEGIN or COMMIT did; errorCode and message say why).
    struct BatchOutcome {
        bool ok = false;
        int failedIndex = -1;
        int errorCode = 0;
        Text message;
        Text statement;  // the statement that failed, "BEGIN IMMEDIATE" or "COMMIT" included
    };

    static constexpr int kDefaultBusyTimeoutMs = 5000;

    DatabaseConnection() = default;
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // Closes any open connection, then opens the existing file at `path`. Never creates a file;
    // an empty path and ":memory:" are refused. Ok when SQLite accepted the file (a file that is
    // not a database is only found out by the first statement; DatabaseFile checks it first).
    Status open(const Text& path);

    // Like open(path), waiting at most `busyTimeoutMs` for another connection's lock (a
    // connection of the window's own waits only briefly).
    Status open(const Text& path, int busyTimeoutMs);

    // Finalises the query statement and closes the connection; harmless when closed.
    void close();

    bool isOpen() const;

    // Runs every statement of `sql` in order with SQLite's one-shot execution. Ok only when all
    // succeeded; otherwise the Status carries the failing statement's code and SQLite's message.
    // A closed connection runs nothing and fails with code 0. An empty text runs nothing and is
    // refused with the code the previous call left (what the SQL console reports for it).
    Status execute(const Text& sql);

    // The result code of the connection's most recent call, by whichever thread: 0 after any
    // successful call (a query that read all its rows included) and when closed. An empty text
    // leaves it as it was. A caller has its own call's code in that call's result.
    int lastErrorCode() const;

    // Runs `statements` in order as one transaction (BEGIN IMMEDIATE ... COMMIT) under the lock,
    // so no other thread's statement lands in between: either every one of them is stored, or,
    // on the first failure (a locked, full, read-only or damaged file included), none is. An
    // empty list commits nothing and succeeds; a closed connection fails with code 0.
    BatchOutcome executeAll(const TextList& statements);

    // How long a statement waits for another process's lock before failing with SQLITE_BUSY.
    // Applies to the open connection and to every later open().
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const;

    // Prepares the first statement of `sql` through the one reusable query statement, steps all
    // its rows and returns them. When it cannot be prepared, the connection is closed, or a step
    // fails (busy, locked, damaged), `ok` is false, no rows come back and the result carries
    // SQLite's code and message.
    QueryResult query(const Text& sql);

private:
    Status openLocked(const Text& path);
    int lastErrorCodeLocked() const;
    void closeLocked();

    BatchOutcome failBatch(int index, const Text& statement);
    QueryResult failQuery(QueryResult result);

    mutable std::mutex mutex_;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* queryStatement_ = nullptr;
    int lastCode_ = 0;
};

}  // namespace lumo
