#include "store/DatabaseFile.h"

#include <filesystem>

#include "store/EmptyDatabase.h"

namespace lumo {
namespace {

// The tables of the file; every lumo.sdb holds rule and info. A plain scan of the schema, which
// the window's first queries read anyway.
constexpr const char* kTableList = "select name from sqlite_master where type='table'";

constexpr int kNotADatabaseCode = 26;  // SQLITE_NOTADB

Status refused(DatabaseConnection& database, Status::Kind kind, std::string reason, int code = 0) {
    database.close();
    return Status::failure(kind, std::move(reason), code);
}

bool holdsLumoTables(const QueryResult& tables) {
    if (!tables.ok) return false;
    bool rule = false;
    bool info = false;
    for (const TextList& row : tables.rows) {
        if (row.empty()) continue;
        rule = rule || row[0] == "rule";
        info = info || row[0] == "info";
    }
    return rule && info;
}

}  // namespace

Status DatabaseFile::openExisting(DatabaseConnection& database, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return refused(database, Status::Kind::Missing, path + " does not exist");
    }
    const Status opened = database.open(path);
    if (!opened.ok()) {
        return Status::failure(Status::Kind::Refused, path + " cannot be opened as a database",
                               opened.code());
    }
    const QueryResult tables = database.query(kTableList);
    if (tables.busy()) {
        return refused(database, Status::Kind::Busy,
                       path +
                           " is busy: another program has held it locked longer than the wait "
                           "allows (" +
                           tables.message + "); it was left untouched",
                       tables.errorCode);
    }
    // Only a file SQLite does not take for a database is "not a database"; any other failure
    // says what SQLite said.
    if (!tables.ok && tables.errorCode != kNotADatabaseCode) {
        return refused(database, Status::Kind::Failed,
                       path + " cannot be read: " + tables.message + "; it was left untouched",
                       tables.errorCode);
    }
    if (!holdsLumoTables(tables)) {
        return refused(database, Status::Kind::Refused,
                       path +
                           " is not a Lumo database (no SQLite file with the tables rule and "
                           "info); it was left untouched",
                       tables.errorCode);
    }
    return Status();
}

Status DatabaseFile::create(const std::string& path) {
    std::error_code error;
    const auto exists = [&] {
        return Status::failure(Status::Kind::Exists,
                               path + " exists already; it was left untouched");
    };
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) return exists();
    const Status created = createEmptyDatabase(path);
    if (created.ok()) return created;
    // A file that appeared meanwhile is not replaced either.
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) return exists();
    return created.kind() == Status::Kind::Exists
               ? created
               : Status::failure(Status::Kind::Failed, created.reason(), created.code());
}

}  // namespace lumo
