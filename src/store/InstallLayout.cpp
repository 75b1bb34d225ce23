#include "store/InstallLayout.h"

#include <cstdlib>

#ifndef LUMO_INSTALL_PREFIX
#define LUMO_INSTALL_PREFIX "/usr/local"
#endif
#ifndef LUMO_INSTALL_BINDIR
#define LUMO_INSTALL_BINDIR "bin"
#endif

namespace lumo {
namespace {

std::filesystem::path resolved(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::path result = std::filesystem::weakly_canonical(folder, error);
    if (error) result = folder.lexically_normal();
    // "a/b/" and "a/b" are the same folder.
    if (!result.has_filename() && result.has_parent_path() && result != result.root_path()) {
        result = result.parent_path();
    }
    return result;
}

std::optional<std::string> processVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace

std::filesystem::path InstallLayout::recordedProgramFolder() {
    return std::filesystem::path(LUMO_INSTALL_PREFIX) / LUMO_INSTALL_BINDIR;
}

InstallLayout::Kind InstallLayout::kindOf(const std::filesystem::path& programDir,
                                          const std::filesystem::path& installedProgramDir) {
    if (programDir.empty() || installedProgramDir.empty()) return Kind::Portable;
    return resolved(programDir) == resolved(installedProgramDir) ? Kind::Installed : Kind::Portable;
}

std::filesystem::path InstallLayout::userDataFolder(const Environment& environment) {
    const Environment& lookup = environment ? environment : Environment(processVariable);
    const std::string dataHome = lookup("XDG_DATA_HOME").value_or("");
    if (!dataHome.empty() && dataHome.front() == '/')
        return std::filesystem::path(dataHome) / "lumo";
    const std::string home = lookup("HOME").value_or("");
    if (home.empty()) return {};
    return std::filesystem::path(home) / ".local" / "share" / "lumo";
}

std::filesystem::path InstallLayout::defaultDatabasePath(
    const std::filesystem::path& programDir, const std::filesystem::path& installedProgramDir,
    const Environment& environment) {
    if (kindOf(programDir, installedProgramDir) == Kind::Portable) return programDir / "lumo.sdb";
    const std::filesystem::path folder = userDataFolder(environment);
    return folder.empty() ? std::filesystem::path() : folder / "lumo.sdb";
}

}  // namespace lumo
