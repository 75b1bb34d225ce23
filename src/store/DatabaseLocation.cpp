#include "store/DatabaseLocation.h"

#include "store/InstallLayout.h"

namespace lumo {

std::string DatabaseLocation::resolve(const std::optional<std::string>& explicitPath,
                                      const char* environment, const std::string& programDirectory,
                                      const std::filesystem::path& installedProgramDirectory) {
    if (explicitPath && !explicitPath->empty()) return *explicitPath;
    if (environment != nullptr && *environment != '\0') return environment;
    if (!programDirectory.empty() &&
        InstallLayout::kindOf(programDirectory, installedProgramDirectory) ==
            InstallLayout::Kind::Installed) {
        return InstallLayout::defaultDatabasePath(programDirectory, installedProgramDirectory)
            .string();
    }
    return besideProgram(programDirectory);
}

std::string DatabaseLocation::besideProgram(const std::string& programDirectory) {
    if (programDirectory.empty()) return kFileName;
    if (programDirectory.back() == '/') return programDirectory + kFileName;
    return programDirectory + "/" + kFileName;
}

}  // namespace lumo
