#pragma once

#include <mutex>
#include <vector>

#include "check/CutRegionSink.h"

namespace lumo::test {

// Keeps every text given for the test edit box. Thread-safe.
class FakeCutRegionSink : public CutRegionSink {
public:
    void showCutRegion(const Text& text) override {
        std::lock_guard lock(mutex_);
        texts_.push_back(text);
    }
    std::vector<Text> texts() const {
        std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Text> texts_;
};

}  // namespace lumo::test
