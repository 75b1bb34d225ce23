#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace lumo {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// The permission bits for the new file: the target's, or 0666 less the umask.
mode_t modeFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string writeAll(int fd, std::string_view content, const std::string& temp) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return failure("cannot write", temp);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::fsync(fd) != 0) return failure("cannot flush", temp);
    return {};
}

}  // namespace

std::string replaceFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return "no file name given";
    const std::string folder = folderOf(path);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return failure("cannot create a file in", folder);
    std::string error;
    if (::fchmod(fd, modeFor(path)) != 0) error = failure("cannot set the mode of", temp);
    if (error.empty()) error = writeAll(fd, content, temp);
    if (::close(fd) != 0 && error.empty()) error = failure("cannot close", temp);
    if (error.empty() && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = failure("cannot replace", path);
    }
    if (!error.empty()) {
        ::unlink(temp.c_str());
        return error;
    }
    // The rename itself reaches the disk with the folder.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return {};
}

}  // namespace lumo
