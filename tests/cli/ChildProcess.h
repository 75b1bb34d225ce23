#pragma once

#include <sys/types.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumo::test {

// A program run as a child process, for tests that drive a real binary: its standard output and
// standard error are collected while it runs, it can be sent signals, and its exit is waited for
// with a limit. The child gets the test's environment without LUMO_DB, plus `environment`
// ("NAME=value" entries). A child still running when the object goes is killed.
//
// Not thread-safe itself; the collected output may be read while the child runs.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    std::string out() const;
    std::string err() const;

    // Waits until standard output holds `text`; false when the time ran out or the child ended
    // without it.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);

    void sendSignal(int signal);

    // Waits at most `timeout` for the child to end; false when it is still running.
    bool wait(std::chrono::milliseconds timeout);

    bool exited() const { return exited_; }
    // The exit status, or -1 when it was ended by a signal.
    int exitCode() const { return exitCode_; }

    struct Result {
        int exitCode = -1;
        std::string out;
        std::string err;
    };
    // Runs the program to its end (killed after `timeout`, with exitCode -1).
    static Result run(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::string>& environment = {},
                      std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    void collect(int outFd, int errFd);

    pid_t pid_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string out_;
    std::string err_;
    bool streamsClosed_ = false;
    bool exited_ = false;
    int exitCode_ = -1;
};

}  // namespace lumo::test
