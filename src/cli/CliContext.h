#pragma once

#include <optional>
#include <string>

#include "cli/TerminalOutput.h"
#include "store/DatabaseConnection.h"

namespace lumo::cli {

// What every subcommand shares: the terminal, the database option and connection, and the exit
// status the chosen subcommand leaves.
//
// Main thread only (the database it hands out is thread-safe).
class CliContext {
public:
    CliContext(TerminalOutput& output, std::string programDirectory);

    TerminalOutput& output() { return output_; }
    // Bound to `--db`.
    std::optional<std::string>& databaseOption() { return databaseOption_; }

    // The file the command works on: `--db`, else LUMO_DB, else lumo.sdb beside the program.
    std::string databasePath() const;

    // Opens that file. A missing file gives "数据库文件不存在！" on standard error, a file that
    // is no Lumo database a message naming it; both leave the file as it was and return false.
    bool openDatabase();
    DatabaseConnection& database() { return database_; }

    int exitCode = 0;

private:
    TerminalOutput& output_;
    std::string programDirectory_;
    std::optional<std::string> databaseOption_;
    DatabaseConnection database_;
};

}  // namespace lumo::cli
