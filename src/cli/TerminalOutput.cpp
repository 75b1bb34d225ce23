#include "cli/TerminalOutput.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::cli {

TerminalOutput::TerminalOutput(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

std::string TerminalOutput::terminalText(const Text& text) {
    return gbkToUtf8(replaceAllText(text, "\r\n", "\n"));
}

void TerminalOutput::writeOut(const std::string& utf8) {
    if (sealed_ || utf8.empty()) return;
    std::fwrite(utf8.data(), 1, utf8.size(), out_);
    std::fflush(out_);
    lineOpen_ = utf8.back() != '\n';
}

void TerminalOutput::endOpenLine() {
    if (lineOpen_) writeOut("\n");
}

void TerminalOutput::piece(const Text& text) {
    std::lock_guard lock(mutex_);
    std::string utf8 = terminalText(text);
    // The first line of the output needs no empty line above it.
    if (!lineOpen_ && !utf8.empty() && utf8.front() == '\n') utf8.erase(0, 1);
    writeOut(utf8);
}

void TerminalOutput::line(const Text& text) {
    utf8Line(terminalText(text));
}

void TerminalOutput::utf8Line(const std::string& text) {
    std::lock_guard lock(mutex_);
    endOpenLine();
    writeOut(text + "\n");
}

void TerminalOutput::error(const Text& text) {
    utf8Error(terminalText(text));
}

void TerminalOutput::utf8Error(const std::string& text) {
    std::lock_guard lock(mutex_);
    // An open line on standard output is left alone: the two streams may go to different places.
    std::fwrite(text.data(), 1, text.size(), err_);
    std::fputc('\n', err_);
    std::fflush(err_);
}

void TerminalOutput::seal() {
    std::lock_guard lock(mutex_);
    endOpenLine();
    sealed_ = true;
}

void TerminalOutput::finish() {
    std::lock_guard lock(mutex_);
    endOpenLine();
}

}  // namespace lumo::cli
