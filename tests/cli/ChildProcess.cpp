#include "cli/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace lumo::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("ChildProcess: pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    // The child starts with no signal blocked, whatever the test thread's mask.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LUMO_DB=", 8) != 0) env.emplace_back(*e);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const int rc =
        posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(outPipe[1]);
    close(errPipe[1]);
    if (rc != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        throw std::runtime_error("ChildProcess: cannot start " + program);
    }
    reader_ =
        std::thread([this, outFd = outPipe[0], errFd = errPipe[0]] { collect(outFd, errFd); });
}

ChildProcess::~ChildProcess() {
    if (!wait(std::chrono::milliseconds(0))) {
        kill(pid_, SIGKILL);
        wait(std::chrono::seconds(10));
    }
    if (reader_.joinable()) reader_.join();
}

void ChildProcess::collect(int outFd, int errFd) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buffer[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) continue;
        for (pollfd& fd : fds) {
            if (fd.fd < 0 || fd.revents == 0) continue;
            const ssize_t n = read(fd.fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fd.fd);
                fd.fd = -1;
                --open;
                continue;
            }
            std::lock_guard lock(mutex_);
            (fd.fd == outFd ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
            changed_.notify_all();
        }
    }
    std::lock_guard lock(mutex_);
    streamsClosed_ = true;
    changed_.notify_all();
}

std::string ChildProcess::out() const {
    std::lock_guard lock(mutex_);
    return out_;
}

std::string ChildProcess::err() const {
    std::lock_guard lock(mutex_);
    return err_;
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        return out_.find(text) != std::string::npos || streamsClosed_;
    }) && out_.find(text) != std::string::npos;
}

void ChildProcess::sendSignal(int signal) {
    if (!exited_) kill(pid_, signal);
}

bool ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (exited_) return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exited_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            // What the child wrote last is read before anyone looks at it.
            if (reader_.joinable()) reader_.join();
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

ChildProcess::Result ChildProcess::run(const std::string& program,
                                       const std::vector<std::string>& arguments,
                                       const std::vector<std::string>& environment,
                                       std::chrono::milliseconds timeout) {
    ChildProcess child(program, arguments, environment);
    Result result;
    if (child.wait(timeout)) result.exitCode = child.exitCode();
    if (!child.exited()) {
        child.sendSignal(SIGKILL);
        child.wait(std::chrono::seconds(10));
        result.exitCode = -1;
    }
    result.out = child.out();
    result.err = child.err();
    return result;
}

}  // namespace lumo::test
