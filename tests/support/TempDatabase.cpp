#include "support/TempDatabase.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/TextOps.h"

namespace lumo::test {
namespace {

// A short-lived connection of the helper's own; throws on failure so a broken fixture is loud.
class Connection {
public:
    explicit Connection(const std::string& path, bool create = false) {
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("TempDatabase: cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, 5000);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error("TempDatabase: " + message);
        }
    }

    sqlite3_stmt* prepare(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement,
                               nullptr) != SQLITE_OK) {
            throw std::runtime_error("TempDatabase: " + std::string(sqlite3_errmsg(db_)));
        }
        return statement;
    }

    sqlite3_int64 lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

private:
    sqlite3* db_ = nullptr;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("TempDatabase: cannot read " + path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

Text columnText(sqlite3_stmt* statement, int column) {
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    return bytes ? Text(bytes, static_cast<std::size_t>(size)) : Text();
}

}  // namespace

TempDatabase::TempDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumo-db-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("TempDatabase: cannot create a temporary directory");
    }
    directory_ = pattern;
    path_ = directory_ + "/lumo.sdb";
    {
        Connection connection(path_, true);
        connection.exec(readFile(LUMO_SCHEMA_FILE));
    }
    if (!database_.open(path_)) throw std::runtime_error("TempDatabase: PlanDatabase::open failed");
}

TempDatabase::~TempDatabase() {
    database_.close();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

int TempDatabase::addPlan(MonitorPlan& plan) {
    Connection connection(path_);
    std::string columns;
    std::string values;
    const std::size_t first = plan[MonitorPlan::id].empty() ? 1 : 0;
    const char* names[MonitorPlan::kColumnCount] = {
        "id",      "arturl",   "code",   "name",   "url",     "cookie", "ua",
        "arttile", "lasttime", "spare",  "buquan", "regular", "before", "after",
        "tindex",  "uindex",   "oindex", "isdo",   "lastid",  "type"};
    for (std::size_t i = first; i < MonitorPlan::kColumnCount; ++i) {
        if (!columns.empty()) {
            columns += ",";
            values += ",";
        }
        columns += names[i];
        values += "?";
    }
    sqlite3_stmt* statement =
        connection.prepare("insert into rule(" + columns + ") values(" + values + ")");
    for (std::size_t i = first; i < MonitorPlan::kColumnCount; ++i) {
        const Text& value = plan.fields[i];
        sqlite3_bind_text(statement, static_cast<int>(i - first + 1), value.data(),
                          static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    const int rc = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error("TempDatabase: inserting a plan failed");
    const auto id = static_cast<int>(connection.lastInsertId());
    plan[MonitorPlan::id] = textOfInteger(id);
    return id;
}

MonitorPlan TempDatabase::plan(int id) {
    const QueryResult result = query("select * from rule where id=" + textOfInteger(id));
    if (result.rows.empty()) return MonitorPlan();
    return MonitorPlan::fromRow(result.rows.front());
}

std::vector<ArticleRecord> TempDatabase::articles() {
    std::vector<ArticleRecord> records;
    for (const TextList& row : query("select * from info order by id").rows) {
        records.push_back(ArticleRecord::fromRow(row));
    }
    return records;
}

QueryResult TempDatabase::query(const std::string& sql) {
    Connection connection(path_);
    sqlite3_stmt* statement = connection.prepare(sql);
    QueryResult result;
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c) result.columns.push_back(sqlite3_column_name(statement, c));
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        TextList row;
        for (int c = 0; c < columns; ++c) row.push_back(columnText(statement, c));
        result.rows.push_back(std::move(row));
    }
    result.ok = step == SQLITE_DONE;
    if (!result.ok) {
        result.errorCode = step;
        result.message = sqlite3_errstr(step);
    }
    sqlite3_finalize(statement);
    return result;
}

}  // namespace lumo::test
