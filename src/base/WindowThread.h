#pragma once

#include <functional>

namespace lumo {

// Runs work on the window thread. The core uses it for whatever must happen there, such as
// updates that a worker thread asks for.
//
// Thread-safety: post() may be called from any thread; the work runs later, in order of posting.
class WindowThread {
public:
    virtual ~WindowThread() = default;
    virtual void post(std::function<void()> work) = 0;
};

}  // namespace lumo
