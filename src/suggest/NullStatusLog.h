#pragma once

#include "base/StatusLog.h"

namespace lumo {

// A status log that keeps nothing: for work whose lines nobody reads (a suggestion's trial rule
// tests, a command whose output line already says what the log line would repeat).
//
// Thread-safe: it does nothing.
class NullStatusLog : public StatusLog {
public:
    void append(const Text&) override {}
    void replace(const Text&) override {}
};

}  // namespace lumo
