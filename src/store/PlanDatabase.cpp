#include "store/PlanDatabase.h"

#include <sqlite3.h>

#include "app/TextOps.h"

namespace lumo {
namespace {
constexpr int kBusyTimeoutMs = 5000;
}

PlanDatabase::~PlanDatabase() {
    close();
}

bool PlanDatabase::open(const Text& path) {
    return open(path, kBusyTimeoutMs);
}

bool PlanDatabase::open(const Text& path, int busyTimeoutMs) {
    std::lock_guard lock(mutex_);
    closeLocked();
    if (path.empty() || path == ":memory:") return false;
    // READWRITE without CREATE: a missing file fails instead of being created. SQLite falls back
    // to read-only by itself for a write-protected file.
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    db_ = db;
    return true;
}

void PlanDatabase::close() {
    std::lock_guard lock(mutex_);
    closeLocked();
}

void PlanDatabase::closeLocked() {
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

bool PlanDatabase::isOpen() const {
    std::lock_guard lock(mutex_);
    return db_ != nullptr;
}

bool PlanDatabase::execute(const Text& sql) {
    std::lock_guard lock(mutex_);
    return executeLocked(sql);
}

int PlanDatabase::lastErrorCode() const {
    std::lock_guard lock(mutex_);
    return lastErrorCodeLocked();
}

PlanDatabase::Outcome PlanDatabase::executeWithCode(const Text& sql) {
    std::lock_guard lock(mutex_);
    Outcome outcome;
    outcome.ok = executeLocked(sql);
    outcome.errorCode = lastErrorCodeLocked();
    return outcome;
}

bool PlanDatabase::executeLocked(const Text& sql) {
    if (db_ == nullptr || sql.empty()) return false;
    const bool ok = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    lastCode_ = ok ? SQLITE_OK : sqlite3_errcode(db_);
    return ok;
}

int PlanDatabase::lastErrorCodeLocked() const {
    return db_ == nullptr ? 0 : lastCode_;
}

QueryResult PlanDatabase::query(const Text& sql) {
    std::lock_guard lock(mutex_);
    QueryResult result;
    if (db_ == nullptr) return result;
    // The one reusable statement: each query replaces the previous one.
    if (queryStatement_ != nullptr) {
        sqlite3_finalize(queryStatement_);
        queryStatement_ = nullptr;
    }
    if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &queryStatement_,
                           nullptr) != SQLITE_OK ||
        queryStatement_ == nullptr) {
        lastCode_ = sqlite3_errcode(db_);
        result.errorCode = lastCode_;
        return result;
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
    result.ok = step == SQLITE_DONE;
    lastCode_ = result.ok ? SQLITE_OK : sqlite3_errcode(db_);
    result.errorCode = lastCode_;
    return result;
}

}  // namespace lumo
