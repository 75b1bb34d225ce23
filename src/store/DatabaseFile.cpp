#include "store/DatabaseFile.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace lumo {
namespace {

// The two tables every lumo.sdb holds.
constexpr const char* kTableCheck =
    "select count(*) from sqlite_master where type='table' and name in ('rule','info')";

DatabaseFile::Outcome outcome(DatabaseFile::Status status, std::string reason = {}) {
    return {status, std::move(reason)};
}

// A new SQLite file at `path` with `schema` run on it.
DatabaseFile::Outcome writeSchema(const std::string& path, const std::string& schema) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::string reason = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return outcome(DatabaseFile::Status::Failed, "cannot create " + path + ": " + reason);
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, schema.c_str(), nullptr, nullptr, &error);
    std::string reason = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        return outcome(DatabaseFile::Status::Failed, "the schema failed: " + reason);
    }
    return outcome(DatabaseFile::Status::Opened);
}

}  // namespace

DatabaseFile::Outcome DatabaseFile::openExisting(PlanDatabase& database, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        database.close();
        return outcome(Status::Missing, path + " does not exist");
    }
    if (!database.open(path)) {
        return outcome(Status::NotADatabase, path + " cannot be opened as a database");
    }
    const QueryResult tables = database.query(kTableCheck);
    if (tables.rows.size() != 1 || tables.rows.front().empty() || tables.rows.front()[0] != "2") {
        database.close();
        return outcome(Status::NotADatabase,
                       path +
                           " is not a Lumo database (no SQLite file with the tables rule and "
                           "info); it was left untouched");
    }
    return outcome(Status::Opened);
}

DatabaseFile::Outcome DatabaseFile::create(const std::string& path, const std::string& schema) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return outcome(Status::Exists, path + " exists already; it was left untouched");
    }
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    Outcome written = writeSchema(temp, schema);
    if (written.status != Status::Opened) {
        ::unlink(temp.c_str());
        return written;
    }
    // link() refuses an existing name, so a file that appeared meanwhile is not replaced either.
    const int linked = ::link(temp.c_str(), path.c_str());
    const int linkError = errno;
    ::unlink(temp.c_str());
    if (linked == 0) return outcome(Status::Opened);
    if (linkError == EEXIST) {
        return outcome(Status::Exists, path + " exists already; it was left untouched");
    }
    return outcome(Status::Failed, "cannot write " + path + ": " + std::strerror(linkError));
}

}  // namespace lumo
