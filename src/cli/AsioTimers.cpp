#include "cli/AsioTimers.h"

#include <algorithm>
#include <chrono>

namespace lumo::cli {

Timers::Id AsioTimers::startOnce(std::int64_t milliseconds, std::function<void()> fire) {
    const Id id = ++next_;
    auto timer = std::make_unique<boost::asio::steady_timer>(
        context_, std::chrono::milliseconds(std::max<std::int64_t>(milliseconds, 0)));
    timer->async_wait([this, id, fire = std::move(fire)](const boost::system::error_code& error) {
        if (error) return;
        const auto found = pending_.find(id);
        if (found == pending_.end()) return;  // cancelled after it had expired
        pending_.erase(found);
        fire();
    });
    pending_.emplace(id, std::move(timer));
    return id;
}

void AsioTimers::cancel(Id id) {
    const auto found = pending_.find(id);
    if (found == pending_.end()) return;
    found->second->cancel();
    pending_.erase(found);
}

}  // namespace lumo::cli
