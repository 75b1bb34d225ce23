#include "cli/TerminalMessagePresenter.h"

namespace lumo::cli {

void TerminalMessagePresenter::showMessage(const Text& text, const Text& caption) {
    if (caption.empty() || caption == kDefaultCaption) {
        output_.error(text);
    } else {
        output_.error(caption + " " + text);
    }
}

}  // namespace lumo::cli
