#include "base/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <optional>

namespace lumo {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

Status systemFailure(const std::string& what, const std::string& path) {
    const int code = errno;
    return Status::failure(code == ENOENT ? Status::Kind::Missing : Status::Kind::Failed,
                           what + " " + path + ": " + std::strerror(code), code);
}

// The file a write to `path` lands in: symbolic links followed (a relative link is read from the
// link's own folder), the last one possibly dangling. Nothing when the links go round in a circle
// or cannot be read; `error` then says why.
std::optional<std::string> finalTarget(const std::string& path, Status& error) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), link, sizeof link);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof link) {
            error = systemFailure("cannot read the link", current);
            return std::nullopt;
        }
        const std::string target(link, static_cast<std::size_t>(length));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    error =
        Status::failure(Status::Kind::Failed, path + ": too many levels of symbolic links", ELOOP);
    return std::nullopt;
}

// A new, empty file beside `target` that no one else has, opened for writing. Created with 0666,
// so the kernel applies the umask itself (reading the umask would mean changing it, which other
// threads would see).
int createTemporary(const std::string& target, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = target + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + "-" + std::to_string(tick & 0xFFFFFF);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

Status writeAll(int fd, std::string_view content, const std::string& temp) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return systemFailure("cannot write", temp);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::fsync(fd) != 0) return systemFailure("cannot flush", temp);
    return {};
}

}  // namespace

Status replaceFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return Status::failure(Status::Kind::Refused, "no file name given");
    Status error;
    const std::optional<std::string> target = finalTarget(path, error);
    if (!target) return error;
    struct stat existing {};
    const bool exists = ::stat(target->c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return Status::failure(Status::Kind::Refused,
                               path +
                                   " is not a regular file (a folder, a device or a pipe, say); "
                                   "it was left as it was");
    }
    const std::string folder = folderOf(*target);
    std::string temp;
    const int fd = createTemporary(*target, temp);
    if (fd < 0) return systemFailure("cannot create a file in", folder);
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        error = systemFailure("cannot set the mode of", temp);
    }
    if (error.ok()) error = writeAll(fd, content, temp);
    if (::close(fd) != 0 && error.ok()) error = systemFailure("cannot close", temp);
    if (error.ok() && ::rename(temp.c_str(), target->c_str()) != 0) {
        error = systemFailure("cannot replace", *target);
    }
    if (!error.ok()) {
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
