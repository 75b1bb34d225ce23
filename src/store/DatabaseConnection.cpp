#include "store/DatabaseConnection.h"

#include <sqlite3.h>

#include "base/TextOps.h"
#include "store/BusyCode.h"

namespace lumo {

DatabaseConnection::~DatabaseConnection() {
    close();
}

namespace {

Status::Kind kindOfCode(int code) {
    return isBusyCode(code) ? Status::Kind::Busy : Status::Kind::Failed;
}

}  // namespace

Status DatabaseConnection::open(const Text& path) {
    std::lock_guard lock(mutex_);
    return openLocked(path);
}

Status DatabaseConnection::open(const Text& path, int busyTimeoutMs) {
    std::lock_guard lock(mutex_);
    busyTimeoutMs_ = busyTimeoutMs;
    return openLocked(path);
}

Status DatabaseConnection::openLocked(const Text& path) {
    closeLocked();
    if (path.empty() || path == ":memory:") {
        return Status::failure(Status::Kind::Refused, "no database file named");
    }
    // READWRITE without CREATE: a missing file fails instead of being created. SQLite falls back
    // to read-only by itself for a write-protected file.
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        Status failed = Status::failure(kindOfCode(rc), message != nullptr ? message : "", rc);
        sqlite3_close(db);
        return failed;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs_);
    db_ = db;
    return Status();
}

void DatabaseConnection::close() {
    std::lock_guard lock(mutex_);
    closeLocked();
}

void DatabaseConnection::closeLocked() {
    if (queryStatement_ != nullptr) {
        sqlite3_finalize(queryStatement_);
        queryStatement_ = nullptr;
    }
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    lastCode_ = 0;
}

bool DatabaseConnection::isOpen() const {
    std::lock_guard lock(mutex_);
    return db_ != nullptr;
}

Status DatabaseConnection::execute(const Text& sql) {
    std::lock_guard lock(mutex_);
    if (db_ == nullptr) return Status::failure(Status::Kind::Failed, "the database is not open");
    if (sql.empty()) return Status::failure(Status::Kind::Refused, "no statement", lastCode_);
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) {
        lastCode_ = SQLITE_OK;
        return Status();
    }
    lastCode_ = sqlite3_errcode(db_);
    return Status::failure(kindOfCode(lastCode_), sqlite3_errmsg(db_), lastCode_);
}

int DatabaseConnection::lastErrorCode() const {
    std::lock_guard lock(mutex_);
    return lastErrorCodeLocked();
}

int DatabaseConnection::lastErrorCodeLocked() const {
    return db_ == nullptr ? 0 : lastCode_;
}

int DatabaseConnection::busyTimeout() const {
    std::lock_guard lock(mutex_);
    return busyTimeoutMs_;
}

void DatabaseConnection::setBusyTimeout(int milliseconds) {
    std::lock_guard lock(mutex_);
    busyTimeoutMs_ = milliseconds;
    if (db_ != nullptr) sqlite3_busy_timeout(db_, busyTimeoutMs_);
}

DatabaseConnection::BatchOutcome DatabaseConnection::failBatch(int index, const Text& statement) {
    BatchOutcome outcome;
    outcome.failedIndex = index;
    outcome.statement = statement;
    outcome.errorCode = sqlite3_errcode(db_);
    lastCode_ = outcome.errorCode;
    const char* message = sqlite3_errmsg(db_);
    outcome.message = message != nullptr ? message : "";
    // Undoes whatever the transaction wrote; harmless when SQLite rolled back by itself or the
    // transaction never began.
    if (sqlite3_get_autocommit(db_) == 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return outcome;
}

DatabaseConnection::BatchOutcome DatabaseConnection::executeAll(const TextList& statements) {
    std::lock_guard lock(mutex_);
    if (db_ == nullptr) return BatchOutcome{};
    // IMMEDIATE takes the write lock at once, so a locked file fails before anything is written.
    static const Text kBegin = "BEGIN IMMEDIATE";
    static const Text kCommit = "COMMIT";
    if (sqlite3_exec(db_, kBegin.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return failBatch(-1, kBegin);
    }
    for (std::size_t i = 0; i < statements.size(); ++i) {
        if (sqlite3_exec(db_, statements[i].c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            return failBatch(static_cast<int>(i), statements[i]);
        }
    }
    if (sqlite3_exec(db_, kCommit.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return failBatch(-1, kCommit);
    }
    lastCode_ = SQLITE_OK;
    BatchOutcome outcome;
    outcome.ok = true;
    return outcome;
}

QueryResult DatabaseConnection::query(const Text& sql) {
    std::lock_guard lock(mutex_);
    QueryResult result;
    if (db_ == nullptr) {
        result.message = "the database is not open";
        return result;
    }
    // The one reusable statement: each query replaces the previous one.
    if (queryStatement_ != nullptr) {
        sqlite3_finalize(queryStatement_);
        queryStatement_ = nullptr;
    }
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &queryStatement_,
                           nullptr) != SQLITE_OK ||
        queryStatement_ == nullptr) {
        return failQuery(std::move(result));
    }
    // The names are read after the first step: a table changed by another connection since the
    // statement was prepared is only seen then (SQLite prepares it again).
    int step = sqlite3_step(queryStatement_);
    const int columns = sqlite3_column_count(queryStatement_);
    result.columns.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(queryStatement_, c);
        result.columns.emplace_back(name != nullptr ? name : "");
    }
    for (; step == SQLITE_ROW; step = sqlite3_step(queryStatement_)) {
        TextList row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) {
            const auto* value =
                reinterpret_cast<const char*>(sqlite3_column_text(queryStatement_, c));
            const int bytes = sqlite3_column_bytes(queryStatement_, c);
            // Texts hold no NUL: a value that carries one is cut there.
            row.push_back(value != nullptr
                              ? textOfBytes(Bytes(value, static_cast<std::size_t>(bytes)))
                              : Text());
        }
        result.rows.push_back(std::move(row));
    }
    // All rows read (SQLITE_DONE) is a success; the statement's own code is no error.
    if (step != SQLITE_DONE) return failQuery(std::move(result));
    result.ok = true;
    lastCode_ = SQLITE_OK;
    return result;
}

QueryResult DatabaseConnection::failQuery(QueryResult result) {
    // Nothing read part-way is handed on: a failed query is never taken for its first rows.
    result.columns.clear();
    result.rows.clear();
    result.ok = false;
    lastCode_ = sqlite3_errcode(db_);
    result.errorCode = lastCode_;
    const char* message = sqlite3_errmsg(db_);
    result.message = message != nullptr ? message : "";
    return result;
}

}  // namespace lumo
