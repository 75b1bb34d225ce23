#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "base/MessagePresenter.h"

namespace lumo {

// Message boxes asked for on a worker thread, held instead of shown, to be shown later on the
// window thread in the order they were asked for (a rule test's outcome comes with its box).
// Every box is taken as closed with OK at once; a question is answered No.
//
// Thread-safe.
class HeldMessages : public MessagePresenter {
public:
    struct Message {
        Text text;
        Text caption;
    };

    void showMessage(const Text& text, const Text& caption) override {
        std::lock_guard lock(mutex_);
        held_.push_back({text, caption});
    }

    // The held boxes, oldest first; none are held afterwards.
    std::vector<Message> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(held_, {});
    }

private:
    std::mutex mutex_;
    std::vector<Message> held_;
};

}  // namespace lumo
