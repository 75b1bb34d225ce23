#include "http/LoadedPageFetcher.h"

namespace lumo {

LoadedPageFetcher::~LoadedPageFetcher() = default;

PageFetcher* LoadedPageFetcher::loadedFetcher() const {
    const std::lock_guard lock(mutex_);
    if (!triedLoading_) {
        triedLoading_ = true;
        fetcher_ = load();
        if (fetcher_ && cancelled_) fetcher_->cancelAll();
    }
    return fetcher_.get();
}

Bytes LoadedPageFetcher::fetch(FetchRequest& request, std::stop_token stop) const {
    PageFetcher* fetcher = loadedFetcher();
    if (fetcher == nullptr) {
        request.outcome = Status::failure(Status::Kind::Failed,
                                          "the page fetch module lumo_page_fetch is missing");
        return Bytes();
    }
    return fetcher->fetch(request, std::move(stop));
}

void LoadedPageFetcher::cancelAll() {
    const std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (fetcher_) fetcher_->cancelAll();
}

bool LoadedPageFetcher::isLoaded() const {
    const std::lock_guard lock(mutex_);
    return fetcher_ != nullptr;
}

}  // namespace lumo
