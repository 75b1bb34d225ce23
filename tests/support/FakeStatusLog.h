#pragma once

#include <mutex>

#include "base/StatusLog.h"

namespace lumo::test {

// A status log that keeps its content as one GBK text. Thread-safe.
class FakeStatusLog : public StatusLog {
public:
    void append(const Text& piece) override {
        std::lock_guard lock(mutex_);
        content_ += piece;
    }
    void replace(const Text& content) override {
        std::lock_guard lock(mutex_);
        content_ = content;
    }
    Text content() const {
        std::lock_guard lock(mutex_);
        return content_;
    }

private:
    mutable std::mutex mutex_;
    Text content_;
};

}  // namespace lumo::test
