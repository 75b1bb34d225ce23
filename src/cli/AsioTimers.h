#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <map>
#include <memory>

#include "base/Timers.h"

namespace lumo::cli {

// One-shot timers on an asio io_context; the thread that runs the context plays the window
// thread. A cancelled timer never fires, even when it had expired already and its handler was
// waiting in the context's queue.
//
// Thread-safety: like the context's own objects, used from the thread that runs the context
// only. Must outlive every run of the context.
class AsioTimers : public Timers {
public:
    explicit AsioTimers(boost::asio::io_context& context) : context_(context) {}

    Id startOnce(std::int64_t milliseconds, std::function<void()> fire) override;
    void cancel(Id id) override;

    // Timers started and neither fired nor cancelled yet.
    std::size_t pendingCount() const { return pending_.size(); }

private:
    boost::asio::io_context& context_;
    Id next_ = 0;
    std::map<Id, std::unique_ptr<boost::asio::steady_timer>> pending_;
};

}  // namespace lumo::cli
