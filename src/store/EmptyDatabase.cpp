#include "store/EmptyDatabase.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace lumo {
namespace {

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

// Runs the schema on a new file at `temp`.
Status buildAt(const std::string& temp, const std::string& schema) {
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, SqliteCloser> db(raw);
    if (rc != SQLITE_OK) {
        return Status::failure(Status::Kind::Failed,
                               "cannot create " + temp + ": " + sqlite3_errstr(rc), rc);
    }
    char* error = nullptr;
    const int schemaCode = sqlite3_exec(db.get(), schema.c_str(), nullptr, nullptr, &error);
    if (schemaCode != SQLITE_OK) {
        std::string reason = error != nullptr ? error : "the schema failed";
        sqlite3_free(error);
        return Status::failure(Status::Kind::Failed, "cannot create the tables: " + reason,
                               schemaCode);
    }
    return {};
}

}  // namespace

const std::string& embeddedSchema() {
    static const std::string schema =
#include "store/EmbeddedSchema.inc"
        ;
    return schema;
}

Status createDatabaseFromSchema(const std::string& path, const std::string& schema) {
    if (path.empty()) return Status::failure(Status::Kind::Refused, "no path given");
    if (::access(path.c_str(), F_OK) == 0) {
        return Status::failure(Status::Kind::Exists, path + " exists already", EEXIST);
    }
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    ::unlink(temp.c_str());
    Status error = buildAt(temp, schema);
    if (error.ok()) {
        // link() fails when the target appeared meanwhile, so nothing is ever replaced.
        // Where the file system has no hard links, a rename after a last look has to do.
        if (::link(temp.c_str(), path.c_str()) != 0) {
            const int linkError = errno;
            const bool noLinks = linkError == EPERM || linkError == ENOTSUP || linkError == ENOSYS;
            if (!noLinks || ::access(path.c_str(), F_OK) == 0 ||
                ::rename(temp.c_str(), path.c_str()) != 0) {
                const int code = linkError == EEXIST || !noLinks ? linkError : errno;
                error =
                    Status::failure(code == EEXIST ? Status::Kind::Exists : Status::Kind::Failed,
                                    "cannot create " + path + ": " + std::strerror(code), code);
            }
        }
    }
    ::unlink(temp.c_str());
    return error;
}

Status createEmptyDatabaseWithFolders(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return Status::failure(
                Status::Kind::Failed,
                "cannot create the folder " + folder.string() + ": " + error.message(),
                error.value());
        }
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    }
    return createEmptyDatabase(path);
}

}  // namespace lumo
