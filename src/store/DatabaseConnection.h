#pragma once

#include <mutex>

#include "base/Text.h"
#include "store/QueryResult.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lumo {

// The one connection to lumo.sdb.
//
// The program never creates the database: open() accepts only an existing file. Statements are
// plain SQL texts of GBK bytes; every value comes back as text.
//
// Thread-safety: safe to use from the window thread and a monitoring worker at once. One lock
// serialises every operation, so no two overlap; executeWithCode() runs a statement and reads its
// result code as one unit. A busy timeout rides out another process briefly holding the file.
class DatabaseConnection {
public:
    struct Outcome {
        bool ok = false;
        int errorCode = 0;
    };

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
    // an empty path and ":memory:" fail. True when SQLite accepted the file (a file that is not a
    // database is only found out by the first statement).
    bool open(const Text& path);

    // Like open(path), waiting at most `busyTimeoutMs` for another connection's lock (a
    // connection of the window's own waits only briefly).
    bool open(const Text& path, int busyTimeoutMs);

    // Finalises the query statement and closes the connection; harmless when closed.
    void close();

    bool isOpen() const;

    // Runs every statement of `sql` in order with SQLite's one-shot execution. True only when all
    // succeeded. An empty text, or a closed connection, runs nothing and returns false.
    bool execute(const Text& sql);

    // The result code of the connection's most recent call: 0 after any successful call (a query
    // that read all its rows included) and when closed. An empty text leaves it as it was.
    int lastErrorCode() const;

    // execute() and lastErrorCode() under one lock, so no other thread's statement slips between.
    Outcome executeWithCode(const Text& sql);

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
    bool openLocked(const Text& path);
    bool executeLocked(const Text& sql);
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
