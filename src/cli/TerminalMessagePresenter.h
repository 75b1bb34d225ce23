#pragma once

#include "base/MessagePresenter.h"
#include "cli/TerminalOutput.h"

namespace lumo::cli {

// Message boxes on a terminal: the text goes to standard error as one line, and the call returns
// at once, as if the user had pressed OK (every box of the core has that one button). Nobody is
// asked anything: the command line runs unattended, so a box that waits for a person would stop
// a service for good. The caption is left out unless it is another than "信息：".
//
// Thread-safe, as TerminalOutput is.
class TerminalMessagePresenter : public MessagePresenter {
public:
    explicit TerminalMessagePresenter(TerminalOutput& output) : output_(output) {}

    void showMessage(const Text& text, const Text& caption) override;

private:
    TerminalOutput& output_;
};

}  // namespace lumo::cli
