#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "base/MessagePresenter.h"

namespace lumo::test {

// Records every message box instead of showing it. Thread-safe. An optional hook runs inside
// showMessage, while the caller is still "waiting for the box".
class FakeMessagePresenter : public MessagePresenter {
public:
    struct Message {
        Text text;
        Text caption;
    };

    void showMessage(const Text& text, const Text& caption) override {
        std::function<void(const Message&)> hook;
        {
            std::lock_guard lock(mutex_);
            messages_.push_back({text, caption});
            hook = onShow;
        }
        if (hook) hook({text, caption});
    }

    // Records the question as a message and gives `answer`.
    bool askYesNo(const Text& text, const Text& caption) override {
        showMessage(text, caption);
        return answer;
    }

    std::vector<Message> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }

    void clear() {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

    std::function<void(const Message&)> onShow;
    // What askYesNo answers.
    bool answer = false;

private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
};

}  // namespace lumo::test
