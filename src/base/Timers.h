#pragma once

#include <cstdint>
#include <functional>

namespace lumo {

// One-shot timers on the window thread: the monitoring rounds wait on these instead of blocking,
// so a stop click is handled at once.
//
// Called and fired on the window thread only.
class Timers {
public:
    using Id = std::uint64_t;
    virtual ~Timers() = default;

    // Calls `fire` once after `milliseconds`; returns an id for cancel().
    virtual Id startOnce(std::int64_t milliseconds, std::function<void()> fire) = 0;

    // Forgets a pending timer; harmless for one that fired or was cancelled already.
    virtual void cancel(Id id) = 0;
};

}  // namespace lumo
