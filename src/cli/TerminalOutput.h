#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "base/Text.h"

namespace lumo::cli {

// The terminal edge of the command line: every GBK text leaves the program here, as UTF-8, with
// the log's CR LF line breaks turned into LF. Texts from pages, plans and files are data, never
// terminal control: every control character but tab and LF (C0, DEL and C1) leaves as the
// six characters \u00XX, which is also how JSON writes it. Standard output carries results and the
// log; standard error carries messages and errors. Every write is flushed at once, so a reader of a
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

    // GBK to UTF-8, CR LF to LF (controls are escaped when written).
    static std::string terminalText(const Text& text);

    // UTF-8 with every control character shown as \u00XX: C0 (tab and LF too unless
    // `keepTabAndLineFeed`), DEL and C1 (U+0080 to U+009F). Bytes that are not UTF-8 pass as they
    // are; the C1 test reads only their two-byte encoding.
    static std::string visibleControls(std::string_view utf8, bool keepTabAndLineFeed = true);

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
