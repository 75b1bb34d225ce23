#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace lumo {

// Tells an installed program from a portable one, and where each keeps its database by default.
//
// - Installed: the program runs from the folder for programs under the install prefix the build
//   recorded (CMAKE_INSTALL_PREFIX/CMAKE_INSTALL_BINDIR, e.g. /usr/local/bin). Its folder is not
//   the user's to write, so the database lives in the user's data folder:
//   $XDG_DATA_HOME/lumo/lumo.sdb, or ~/.local/share/lumo/lumo.sdb when XDG_DATA_HOME is unset,
//   empty or not absolute. Nothing is created there without the user's word.
// - Portable: anywhere else (a build folder, an unpacked archive): lumo.sdb beside the program.
//
// Folders are compared after resolving symbolic links, so a program reached through a link still
// counts by where it really lies. An explicit database (a --db option, LUMO_DB) is the caller's
// business and comes before both.
//
// Pure; safe from any thread.
class InstallLayout {
public:
    enum class Kind { Portable, Installed };

    // Reads an environment variable; empty when unset. The process environment by default.
    using Environment = std::function<std::optional<std::string>(const std::string& name)>;

    // The folder for programs under the recorded install prefix.
    static std::filesystem::path recordedProgramFolder();

    // Installed when `programDir` is `installedProgramDir` (the recorded one by default).
    static Kind kindOf(const std::filesystem::path& programDir,
                       const std::filesystem::path& installedProgramDir = recordedProgramFolder());

    // The user's data folder for Lumo: $XDG_DATA_HOME/lumo or $HOME/.local/share/lumo. Empty when
    // neither XDG_DATA_HOME (absolute) nor HOME is set.
    static std::filesystem::path userDataFolder(const Environment& environment = {});

    // The default database of a program that runs from `programDir`: beside it when portable, in
    // userDataFolder() when installed (empty path when that folder cannot be known).
    static std::filesystem::path defaultDatabasePath(
        const std::filesystem::path& programDir,
        const std::filesystem::path& installedProgramDir = recordedProgramFolder(),
        const Environment& environment = {});
};

}  // namespace lumo
