#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace lumo::test {

// Another program's hold on a database file: a connection of its own that has begun an exclusive
// transaction, so every other connection's read and write waits and then fails as busy. The hold
// ends with release() or the object.
//
// Not thread-safe.
class FileLock {
public:
    explicit FileLock(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
            sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            throw std::runtime_error("cannot lock " + path);
        }
    }
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    void release() {
        if (db_ == nullptr) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

private:
    sqlite3* db_ = nullptr;
};

}  // namespace lumo::test
