#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "base/Text.h"

namespace lumo::cli {

// The terminal edge of the command line: every GBK text leaves the program here, as UTF-8, with
// the log's CR LF line breaks turned into LF. Standard output carries results and the log;
// standard error carries messages and errors. Every write is flushed at once, so a reader of a
// pipe sees a line as soon as it is complete.
//
// Thread-safe: one lock serialises every write, so pieces from the worker and the main thread
// never interleave. After seal() nothing more reaches standard output.
class TerminalOutput {
public:
    TerminalOutput(std::FILE* out = stdout, std::FILE* err = stderr);
    TerminalOutput(const TerminalOutput&) = delete;
    TerminalOutput& operator=(const TerminalOutput&) = delete;

    // A GBK piece on standard output as it stands: a piece that starts with CR LF starts a line.
    void piece(const Text& text);
    // A GBK text on a line of its own on standard output.
    void line(const Text& text);
    // UTF-8 text on a line of its own on standard output (JSON, tables made of UTF-8 already).
    void utf8Line(const std::string& text);
    // A GBK text on a line of its own on standard error.
    void error(const Text& text);
    // UTF-8 text on a line of its own on standard error.
    void utf8Error(const std::string& text);

    // Ends an open line on standard output and drops every later write to it.
    void seal();
    // Ends an open line on standard output.
    void finish();

    // GBK to UTF-8, CR LF to LF.
    static std::string terminalText(const Text& text);

private:
    void writeOut(const std::string& utf8);
    void endOpenLine();

    std::mutex mutex_;
    std::FILE* out_;
    std::FILE* err_;
    bool lineOpen_ = false;
    bool sealed_ = false;
};

}  // namespace lumo::cli
