#pragma once

#include "base/Text.h"

namespace lumo {

// Shows a message box with an OK button and no owner window. The call returns when the user has
// closed the box.
//
// Callable from any thread. On the window thread the box is modal for the whole program. From a
// worker thread the box is still shown by the window thread but blocks nothing else: the worker
// waits until it is closed (or until the program ends) while the window stays usable.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;

    // Caption "信息：" unless the caller names another.
    virtual void showMessage(const Text& text, const Text& caption) = 0;

    // Asks a question with Yes and No buttons, the same way; true when the user chose Yes.
    // Closing the box counts as No, and so does a presenter that cannot ask.
    virtual bool askYesNo(const Text& /*text*/, const Text& /*caption*/) { return false; }
};

// The caption of a message box whose caller names none: "信息：" in GBK.
inline const Text kDefaultCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";

}  // namespace lumo
