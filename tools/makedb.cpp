// Builds the empty database file that ships beside the program: reads a schema file and runs it
// against a new SQLite file. A database already beside the program holds the user's plans and
// articles: it is never replaced, only marked as up to date for the build.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumo_makedb SCHEMA.sql OUTPUT.sdb\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "lumo_makedb: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream schema;
    schema << in.rdbuf();
    const std::string target = argv[2];
    std::error_code ignored;
    if (std::filesystem::exists(target, ignored)) {
        std::filesystem::last_write_time(target, std::filesystem::file_time_type::clock::now(),
                                         ignored);
        return 0;
    }
    const std::string temp = target + ".tmp";
    std::remove(temp.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "lumo_makedb: cannot create %s\n", temp.c_str());
        sqlite3_close(db);
        return 1;
    }
    char* error = nullptr;
    if (sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "lumo_makedb: %s\n", error ? error : "schema failed");
        sqlite3_free(error);
        sqlite3_close(db);
        std::remove(temp.c_str());
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        std::fprintf(stderr, "lumo_makedb: cannot write %s\n", target.c_str());
        return 1;
    }
    return 0;
}
