#pragma once

#include "base/StatusLog.h"
#include "cli/TerminalOutput.h"

namespace lumo::cli {

// The status log on a terminal. Appended pieces go out as they come (a piece's leading CR LF
// starts a new line); a replacement, which in the window wipes the box, starts a new line with
// the new content. Where the log goes:
// - Stdout: standard output (the log of `run`);
// - Stderr: standard error (commands whose standard output is their result);
// - ErrorsOnly: nothing but error pieces (those holding "出错！"), on standard error (`run
// --quiet`).
//
// Thread-safe, as TerminalOutput is.
class TerminalStatusLog : public StatusLog {
public:
    enum class Target { Stdout, Stderr, ErrorsOnly };

    TerminalStatusLog(TerminalOutput& output, Target target);

    void append(const Text& piece) override;
    void replace(const Text& content) override;

private:
    TerminalOutput& output_;
    Target target_;
};

}  // namespace lumo::cli
