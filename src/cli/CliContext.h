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

    // The file the command works on: `--db`, else LUMO_DB, else the layout's default
    // (DatabaseLocation): lumo.sdb beside a portable program, the one in the user's data folder
    // for an installed program.
    std::string databasePath() const;

    // Opens that file. A missing file gives "数据库文件不存在！" on standard error, a file that
    // is no Lumo database, is busy or cannot be read a message naming it; each leaves the file as
    // it was and returns false, and openFailure() gives the exit status for it.
    bool openDatabase();
    int openFailure() const { return openFailure_; }
    DatabaseConnection& database() { return database_; }

    // Reports on standard error that `what` could not be read from the database, with SQLite's
    // reason, and returns the exit status: kExitBusy for a busy file, else kExitFailed.
    int reportFailedRead(const std::string& what, const QueryResult& result);

    int exitCode = 0;

private:
    TerminalOutput& output_;
    std::string programDirectory_;
    std::optional<std::string> databaseOption_;
    DatabaseConnection database_;
    int openFailure_ = 0;
};

}  // namespace lumo::cli
