#pragma once

#include "base/Text.h"

namespace lumo {

// The program's one log, the status box at the bottom of the window.
//
// Callable from any thread; an implementation that owns a widget hands the work to the window
// thread. Each call is one piece: an appended line is never interleaved with another.
class StatusLog {
public:
    virtual ~StatusLog() = default;

    // Adds `piece` at the end of the log. Lines carry their own leading CR LF.
    virtual void append(const Text& piece) = 0;

    // Replaces the whole content of the log.
    virtual void replace(const Text& content) = 0;
};

}  // namespace lumo
