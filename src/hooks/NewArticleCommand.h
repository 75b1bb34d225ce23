#pragma once

#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "store/ArticleRecord.h"

namespace lumo {

class StatusLog;

// The user's command for each new article ("run --on-new CMD"): runs CMD through `/bin/sh -c`,
// with the article in the environment and never in the command line:
//   LUMO_PLAN_ID, LUMO_PLAN_NAME, LUMO_TITLE, LUMO_URL, LUMO_OTHER, LUMO_ARTICLE_ID
// (the stored `info` values, GBK converted to UTF-8; any LUMO_* variables of our own environment
// are not passed on). A value longer than kLongestValue bytes (a page can make a title of any
// length, and the system refuses to start a program with a variable of 128 KiB or more) is cut
// at the last whole UTF-8 character that fits, and LUMO_TRUNCATED then names the cut variables,
// separated by commas; it is absent when nothing was cut. The command gets /dev/null as standard
// input, shares our standard output and error, runs in a process group of its own and inherits no
// other descriptor of ours.
//
// run() waits for the command. A command that cannot start, exits with a status other than 0, is
// ended by a signal, or is still running when the time limit passes (or the stop token fires) is
// logged once as one line; a command that overran or was stopped is ended with its whole process
// group (SIGTERM, then SIGKILL a second later). Every child is reaped; the caller goes on.
//
// Thread-safety: run() may be called from several threads at once; the log must allow that
// (StatusLog implementations do).
class NewArticleCommand {
public:
    enum class Outcome { Succeeded, Failed, TimedOut, Stopped, NotStarted };

    static constexpr std::chrono::milliseconds kDefaultTimeLimit{30000};
    // The most bytes of one variable's value.
    static constexpr std::size_t kLongestValue = 32768;

    // `commandLine` is UTF-8, as the user gave it; `log` receives the failure lines.
    NewArticleCommand(std::string commandLine, StatusLog& log,
                      std::chrono::milliseconds timeLimit = kDefaultTimeLimit);

    // Runs the command for one stored article (an `info` row as read from the database).
    Outcome run(const ArticleRecord& article, std::stop_token stop = {}) const;

    using Variables = std::vector<std::pair<std::string, std::string>>;

    // The same command for another event, with `variables` (UTF-8 values, each bounded and cut
    // as an article's are) instead of an article's; its log lines name it `kind` (e.g.
    // "方案失效命令") and say it ran for `subject` (e.g. "方案 3").
    Outcome runFor(const Variables& variables, const std::string& kind, const std::string& subject,
                   std::stop_token stop = {}) const;

    // The variables the command gets for `article`, as name=value pairs, in the order above,
    // LUMO_TRUNCATED last when a value was cut.
    static Variables environmentOf(const ArticleRecord& article);

    const std::string& commandLine() const { return commandLine_; }
    std::chrono::milliseconds timeLimit() const { return timeLimit_; }

private:
    Outcome runWith(const Variables& variables, const std::string& kind, const std::string& subject,
                    std::stop_token stop) const;
    void report(const std::string& utf8Line) const;

    std::string commandLine_;
    StatusLog& log_;
    std::chrono::milliseconds timeLimit_;
};

}  // namespace lumo
