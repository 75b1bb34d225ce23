#include "store/DatabaseFile.h"

#include <filesystem>

#include "store/EmptyDatabase.h"

namespace lumo {
namespace {

// The two tables every lumo.sdb holds.
constexpr const char* kTableCheck =
    "select count(*) from sqlite_master where type='table' and name in ('rule','info')";

constexpr int kNotADatabaseCode = 26;  // SQLITE_NOTADB

DatabaseFile::Outcome outcome(DatabaseFile::Status status, std::string reason = {}) {
    return {status, std::move(reason)};
}

}  // namespace

DatabaseFile::Outcome DatabaseFile::openExisting(DatabaseConnection& database,
                                                 const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        database.close();
        return outcome(Status::Missing, path + " does not exist");
    }
    if (!database.open(path)) {
        return outcome(Status::NotADatabase, path + " cannot be opened as a database");
    }
    const QueryResult tables = database.query(kTableCheck);
    if (tables.busy()) {
        database.close();
        return outcome(Status::Busy, path +
                                         " is busy: another program has held it locked longer "
                                         "than the wait allows (" +
                                         tables.message + "); it was left untouched");
    }
    // Only a file SQLite does not take for a database is "not a database"; any other failure
    // says what SQLite said.
    if (!tables.ok && tables.errorCode != kNotADatabaseCode) {
        database.close();
        return outcome(Status::Unreadable,
                       path + " cannot be read: " + tables.message + "; it was left untouched");
    }
    if (tables.rows.size() != 1 || tables.rows.front().empty() || tables.rows.front()[0] != "2") {
        database.close();
        return outcome(Status::NotADatabase,
                       path +
                           " is not a Lumo database (no SQLite file with the tables rule and "
                           "info); it was left untouched");
    }
    return outcome(Status::Opened);
}

DatabaseFile::Outcome DatabaseFile::create(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return outcome(Status::Exists, path + " exists already; it was left untouched");
    }
    const std::string failure = createEmptyDatabase(path);
    if (failure.empty()) return outcome(Status::Opened);
    // A file that appeared meanwhile is not replaced either.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
        return outcome(Status::Exists, path + " exists already; it was left untouched");
    }
    return outcome(Status::Failed, failure);
}

}  // namespace lumo
