#include "cli/TerminalOutput.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::cli {

TerminalOutput::TerminalOutput(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

std::string TerminalOutput::terminalText(const Text& text) {
    return gbkToUtf8(replaceAllText(text, "\r\n", "\n"));
}

std::string TerminalOutput::visibleControls(std::string_view utf8, bool keepTabAndLineFeed) {
    static const char kHex[] = "0123456789abcdef";
    const auto escape = [](std::string& out, unsigned char code) {
        out += "\\u00";
        out += kHex[code >> 4];
        out += kHex[code & 0xf];
    };
    std::string shown;
    shown.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool layout = byte == '\t' || byte == '\n';
        if ((byte < 0x20 && !(layout && keepTabAndLineFeed)) || byte == 0x7f) {
            escape(shown, byte);
        } else if (byte == 0xc2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9f) {
            escape(shown, static_cast<unsigned char>(utf8[++i]));
        } else {
            shown += utf8[i];
        }
    }
    return shown;
}

void TerminalOutput::writeOut(const std::string& text) {
    if (sealed_ || text.empty()) return;
    const std::string utf8 = visibleControls(text);
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
    const std::string utf8 = visibleControls(text);
    std::fwrite(utf8.data(), 1, utf8.size(), err_);
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
