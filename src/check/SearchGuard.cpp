#include "check/SearchGuard.h"

namespace lumo {

SearchGuard::SearchGuard(const SearchLimits& limits)
    : deadline_(std::chrono::steady_clock::now() + limits.timeLimit),
      stepLimit_(limits.stepLimit),
      stopped_(limits.stopped) {}

void SearchGuard::look() {
    untilLook_ = kStepsPerLook;
    steps_ += kStepsPerLook;
    if (stopped_ && stopped_()) throw Ended("The search was stopped.", Status::Kind::Cancelled);
    if (stepLimit_ != 0 && steps_ > stepLimit_) {
        throw Ended("The search took more steps than allowed (runaway backtracking).",
                    Status::Kind::Failed);
    }
    if (std::chrono::steady_clock::now() > deadline_) {
        throw Ended("The search ran out of time (runaway backtracking).", Status::Kind::TimedOut);
    }
}

}  // namespace lumo
