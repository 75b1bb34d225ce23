#include "check/RoundArticles.h"

#include <algorithm>
#include <limits>

namespace lumo {

void RoundArticles::add(const Text& plan, const std::vector<StoredArticle>& newestFirst) {
    if (newestFirst.empty()) return;
    std::lock_guard lock(mutex_);
    const int count = static_cast<int>(
        std::min<std::size_t>(newestFirst.size(), std::numeric_limits<int>::max() / 2));
    total_ = std::min(total_, std::numeric_limits<int>::max() / 2) + count;
    const auto known = std::find_if(plans_.begin(), plans_.end(),
                                    [&](const RoundNews::PlanCount& p) { return p.plan == plan; });
    if (known != plans_.end()) {
        known->count += count;
    } else {
        plans_.push_back({plan, count});
    }
    // Only the newest few of a long run are worth keeping.
    const std::size_t take = std::min(newestFirst.size(), kKeptArticles);
    for (std::size_t i = take; i-- > 0;) kept_.push_back(newestFirst[i]);
    while (kept_.size() > kKeptArticles) kept_.pop_front();
}

RoundNews RoundArticles::take() {
    std::lock_guard lock(mutex_);
    RoundNews news;
    news.plans = std::move(plans_);
    news.newest.assign(kept_.rbegin(), kept_.rend());
    news.total = total_;
    plans_.clear();
    kept_.clear();
    total_ = 0;
    return news;
}

void RoundArticles::clear() {
    std::lock_guard lock(mutex_);
    plans_.clear();
    kept_.clear();
    total_ = 0;
}

}  // namespace lumo
