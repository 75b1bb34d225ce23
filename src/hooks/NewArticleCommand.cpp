#include "hooks/NewArticleCommand.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "base/GbkCodec.h"
#include "base/StatusLog.h"
#include "base/TextOps.h"

extern char** environ;

namespace lumo {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kGraceAfterTerm{1000};

struct SpawnSetup {
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    SpawnSetup() {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
        // A process group of its own, default signal handling, nothing blocked.
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setflags(
            &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

constexpr const char* kTruncatedVariable = "LUMO_TRUNCATED";
constexpr const char* kArticleVariables[] = {
    "LUMO_PLAN_ID",  "LUMO_PLAN_NAME",     "LUMO_TITLE",      "LUMO_URL",
    "LUMO_OTHER",    "LUMO_ARTICLE_ID",    "LUMO_PLAN_URL",   "LUMO_REASON",
    "LUMO_FAILURES", "LUMO_FAILING_SINCE", kTruncatedVariable};

// Whether `entry` ("NAME=value") sets one of the variables we give the command ourselves.
bool isArticleVariable(const std::string& entry) {
    for (const std::string name : kArticleVariables) {
        if (entry.compare(0, name.size() + 1, name + "=") == 0) return true;
    }
    return false;
}

// At most `limit` bytes of `utf8`, never ending inside a character.
bool cutAtCharacter(std::string& utf8, std::size_t limit) {
    if (utf8.size() <= limit) return false;
    std::size_t end = limit;
    // Back over continuation bytes (10xxxxxx) to the start of the character that does not fit.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    utf8.resize(end);
    return true;
}

// Each value at most kLongestValue bytes; LUMO_TRUNCATED names those that were cut.
NewArticleCommand::Variables bounded(NewArticleCommand::Variables variables) {
    std::string truncated;
    for (auto& [name, value] : variables) {
        if (cutAtCharacter(value, NewArticleCommand::kLongestValue))
            truncated += (truncated.empty() ? "" : ",") + name;
    }
    if (!truncated.empty()) variables.emplace_back(kTruncatedVariable, truncated);
    return variables;
}

// Our environment without the variables we set, then `variables`.
std::vector<std::string> childEnvironment(const NewArticleCommand::Variables& variables) {
    std::vector<std::string> result;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (!isArticleVariable(*entry)) result.push_back(*entry);
    }
    for (const auto& [name, value] : variables) result.push_back(name + "=" + value);
    return result;
}

// A status no child can end with: the child was reaped by someone else, so how it ended is
// unknown (SIGCHLD ignored after all).
constexpr int kStatusLost = -1;

// Waits for `pid` until `deadline` or the stop; true with its status when it ended.
bool waitUntil(pid_t pid, Clock::time_point deadline, const std::stop_token& stop, int& status) {
    // Looks often at first, then every 25 ms at the most.
    constexpr std::chrono::milliseconds kLongestPause{25};
    std::chrono::milliseconds pause{1};
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return true;
        if (done < 0 && errno != EINTR) {
            status = kStatusLost;
            return true;
        }
        const auto now = Clock::now();
        if (now >= deadline || stop.stop_requested()) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        std::this_thread::sleep_for(std::min(pause, left));
        pause = std::min(pause * 2, kLongestPause);
    }
}

// Ends the command's whole process group and reaps the command.
void endGroup(pid_t pid) {
    ::kill(-pid, SIGTERM);
    int status = 0;
    if (!waitUntil(pid, Clock::now() + kGraceAfterTerm, {}, status)) {
        ::kill(-pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    // Members of the group that outlived the shell go as well.
    ::kill(-pid, SIGKILL);
}

}  // namespace

NewArticleCommand::NewArticleCommand(std::string commandLine, StatusLog& log,
                                     std::chrono::milliseconds timeLimit)
    : commandLine_(std::move(commandLine)), log_(log), timeLimit_(timeLimit) {}

NewArticleCommand::Variables NewArticleCommand::environmentOf(const ArticleRecord& article) {
    return bounded({{"LUMO_PLAN_ID", gbkToUtf8(article[ArticleRecord::planid])},
                    {"LUMO_PLAN_NAME", gbkToUtf8(article[ArticleRecord::planname])},
                    {"LUMO_TITLE", gbkToUtf8(article[ArticleRecord::title])},
                    {"LUMO_URL", gbkToUtf8(article[ArticleRecord::url])},
                    {"LUMO_OTHER", gbkToUtf8(article[ArticleRecord::other])},
                    {"LUMO_ARTICLE_ID", gbkToUtf8(article[ArticleRecord::id])}});
}

void NewArticleCommand::report(const std::string& utf8Line) const {
    log_.append("\r\n" + utf8ToGbk(utf8Line));
}

NewArticleCommand::Outcome NewArticleCommand::run(const ArticleRecord& article,
                                                  std::stop_token stop) const {
    return runWith(environmentOf(article), "新文章命令",
                   "文章 " + gbkToUtf8(article[ArticleRecord::id]), std::move(stop));
}

NewArticleCommand::Outcome NewArticleCommand::runFor(const Variables& variables,
                                                     const std::string& kind,
                                                     const std::string& subject,
                                                     std::stop_token stop) const {
    return runWith(bounded(variables), kind, subject, std::move(stop));
}

NewArticleCommand::Outcome NewArticleCommand::runWith(const Variables& variables,
                                                      const std::string& kind,
                                                      const std::string& subject,
                                                      std::stop_token stop) const {
    const std::string about = "（" + subject + "）：" + commandLine_;
    std::vector<std::string> environment = childEnvironment(variables);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string shell = "/bin/sh", dashC = "-c", command = commandLine_;
    char* argv[] = {shell.data(), dashC.data(), command.data(), nullptr};

    SpawnSetup setup;
    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, "/bin/sh", &setup.actions, &setup.attributes, argv, envp.data());
    if (rc != 0) {
        report(kind + "无法启动（" + std::string(std::strerror(rc)) + "）" + about);
        return Outcome::NotStarted;
    }
    int status = 0;
    if (!waitUntil(pid, Clock::now() + timeLimit_, stop, status)) {
        const bool stopped = stop.stop_requested();
        endGroup(pid);
        if (stopped) {
            report(kind + "因停止监控而结束" + about);
            return Outcome::Stopped;
        }
        const auto seconds = std::chrono::duration<double>(timeLimit_).count();
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", seconds);
        report(kind + "超过 " + std::string(limit) + " 秒未结束，已终止" + about);
        return Outcome::TimedOut;
    }
    if (status == kStatusLost) {
        report(kind + "的退出状态无法得知（子进程已被系统回收）" + about);
        return Outcome::Failed;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return Outcome::Succeeded;
    if (WIFSIGNALED(status)) {
        report(kind + "被信号 " + textOfInteger(WTERMSIG(status)) + " 结束" + about);
    } else {
        report(kind + "失败，退出状态 " + textOfInteger(WEXITSTATUS(status)) + about);
    }
    return Outcome::Failed;
}

}  // namespace lumo
