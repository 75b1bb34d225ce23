// Builds the empty database file that ships beside the program: reads a schema file and runs it
// against a new SQLite file. A database already beside the program holds the user's plans and
// articles: it is never replaced, only marked as up to date for the build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "store/EmptyDatabase.h"

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
    const lumo::Status created = lumo::createDatabaseFromSchema(target, schema.str());
    if (!created.ok()) {
        std::fprintf(stderr, "lumo_makedb: %s\n", created.reason().c_str());
        return 1;
    }
    return 0;
}
