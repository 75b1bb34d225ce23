#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "base/Text.h"

namespace lumo {

// One article a monitoring run stored: its plan's name, its title and its address, GBK as stored.
struct StoredArticle {
    Text plan;
    Text title;
    Text address;
};

// What a round has stored so far, for the alert that ends it: every plan that stored something
// with its count, in the order the plans ran, and the newest articles, newest first. A run counts
// as newer than the runs before it in the round; within a run the page's order decides.
struct RoundNews {
    struct PlanCount {
        Text plan;
        int count = 0;
    };
    std::vector<PlanCount> plans;
    // At most RoundArticles::kKeptArticles of them, newest first.
    std::vector<StoredArticle> newest;
    int total = 0;

    bool empty() const { return total == 0; }
};

// Collects the articles that the runs of a round committed, for the round's alert. Bounded: it
// counts every article but keeps only the newest kKeptArticles.
//
// Thread-safe: workers add after their commit, the window thread takes at the round's end.
class RoundArticles {
public:
    static constexpr std::size_t kKeptArticles = 50;

    // One run's committed articles, newest first, all of the plan `plan`.
    void add(const Text& plan, const std::vector<StoredArticle>& newestFirst);

    // What was collected since the last take() or clear(), which it empties.
    RoundNews take();

    void clear();

private:
    std::mutex mutex_;
    std::vector<RoundNews::PlanCount> plans_;
    // Oldest first, so a newer run is pushed at the back and the oldest drop off the front.
    std::deque<StoredArticle> kept_;
    int total_ = 0;
};

}  // namespace lumo
