#pragma once

#include <optional>
#include <string>

#include "store/InstallLayout.h"

namespace lumo {

// Which lumo.sdb a front end uses: the file a caller names explicitly (a command-line option),
// else the one the environment variable LUMO_DB names, else the program's default: the lumo.sdb
// beside a portable program, the one in the user's data folder for an installed program
// (InstallLayout). An empty name counts as none. Paths are file-system bytes, not Texts: they are
// never converted.
//
// Pure functions, safe from any thread.
class DatabaseLocation {
public:
    static constexpr const char* kFileName = "lumo.sdb";
    static constexpr const char* kEnvironmentVariable = "LUMO_DB";

    // `environment` is the value of LUMO_DB, or null when it is not set. A program in
    // `installedProgramDirectory` counts as installed.
    static std::string resolve(const std::optional<std::string>& explicitPath,
                               const char* environment, const std::string& programDirectory,
                               const std::filesystem::path& installedProgramDirectory =
                                   InstallLayout::recordedProgramFolder());

    // The file beside the program: programDirectory + "/lumo.sdb" ("lumo.sdb" for an empty
    // directory, i.e. the working directory).
    static std::string besideProgram(const std::string& programDirectory);
};

}  // namespace lumo
