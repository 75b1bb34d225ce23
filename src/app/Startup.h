#pragma once

#include <filesystem>

class QApplication;

namespace lumo {

// Brings the program up in its fixed order, runs the window's event loop and shuts down once.
//
// The database: `--db PATH` (or `--db=PATH`) on the command line, else the environment variable
// LUMO_DB, else the default of the program's layout (InstallLayout): lumo.sdb beside a portable
// program, the user's data folder for an installed one, where a missing file may be created
// after asking. `--db` without a path ends the program with status 2 and a message on stderr.
// A program that runs from `installedProgramDir` has the installed layout (the folder the build
// recorded, InstallLayout::recordedProgramFolder(), for the real program).
//
// `--tray` starts hidden in the tray with monitoring running; `--every SECONDS` (at least 60)
// sets its frequency. A second start on a database that a running Lumo has open shows that
// program's window and ends with status 0 (SingleInstance).
int runLumo(QApplication& application, const std::filesystem::path& installedProgramDir);

}  // namespace lumo
