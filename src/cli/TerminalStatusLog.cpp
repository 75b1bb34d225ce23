#include "cli/TerminalStatusLog.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::cli {
namespace {

bool isErrorPiece(const Text& piece) {
    static const Text kErrorMark = gbk("出错！");
    return piece.find(kErrorMark) != Text::npos;
}

Text withoutLeadingBreak(const Text& piece) {
    return piece.rfind("\r\n", 0) == 0 ? piece.substr(2) : piece;
}

}  // namespace

TerminalStatusLog::TerminalStatusLog(TerminalOutput& output, Target target)
    : output_(output), target_(target) {}

void TerminalStatusLog::append(const Text& piece) {
    switch (target_) {
        case Target::Stdout:
            output_.piece(piece);
            break;
        case Target::Stderr:
            output_.error(withoutLeadingBreak(piece));
            break;
        case Target::ErrorsOnly:
            if (isErrorPiece(piece)) output_.error(withoutLeadingBreak(piece));
            break;
    }
}

void TerminalStatusLog::replace(const Text& content) {
    switch (target_) {
        case Target::Stdout:
            output_.line(content);
            break;
        case Target::Stderr:
            output_.error(content);
            break;
        case Target::ErrorsOnly:
            break;
    }
}

}  // namespace lumo::cli
