#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include "base/Status.h"

namespace lumo {

// What ends a regular-expression search early, with no matches and a failure: running longer
// than `timeLimit`, taking more than `stepLimit` steps (0: no step limit), or `stopped` (when
// set) returning true; it is called from the searching thread every few thousand steps.
struct SearchLimits {
    // The time one search may take by default, over all its matches.
    static constexpr std::chrono::milliseconds kDefaultTimeLimit{5000};

    std::chrono::milliseconds timeLimit = kDefaultTimeLimit;
    std::uint64_t stepLimit = 0;
    std::function<bool()> stopped;
};

// Watches one regular-expression search from inside: the matcher reports each of its steps
// (through GuardedTextIterator), and every kStepsPerLook steps the guard looks at the clock, the
// step budget and the stop, and ends the search by throwing SearchGuard::Ended. The matcher
// unwinds and frees its state on that exception as on its own complexity error.
//
// Not thread-safe: one guard per search, on the searching thread. `stopped` is called on that
// thread.
class SearchGuard {
public:
    // Thrown out of the matcher; what() is the failure's text, kind() what ended it: Cancelled
    // (the stop), Failed (the step budget) or TimedOut (the time limit).
    class Ended : public std::runtime_error {
    public:
        Ended(const char* what, Status::Kind kind) : std::runtime_error(what), kind_(kind) {}
        Status::Kind kind() const { return kind_; }
        bool byStop() const { return kind_ == Status::Kind::Cancelled; }

    private:
        Status::Kind kind_;
    };

    static constexpr int kStepsPerLook = 4096;

    explicit SearchGuard(const SearchLimits& limits);

    void step() {
        if (--untilLook_ == 0) look();
    }

private:
    void look();

    std::chrono::steady_clock::time_point deadline_;
    std::uint64_t stepLimit_;
    std::uint64_t steps_ = 0;
    std::function<bool()> stopped_;
    int untilLook_ = kStepsPerLook;
};

}  // namespace lumo
