#pragma once

#include <memory>
#include <mutex>

#include "http/FetchRequest.h"
#include "http/PageFetcher.h"

namespace lumo {

// A page fetcher that is loaded at the first fetch (the module lumo_page_fetch, which brings
// libcurl), so that a program that never fetches never loads it. Once loaded, every call goes to
// the loaded fetcher, for the program's lifetime; when loading failed, every fetch fails at once,
// saying so in request.outcome. A cancelAll() before the load reaches the fetcher when it comes.
// A program's loader derives from it and says how to load (load()).
//
// Thread-safe as PageFetcher asks: the first fetch may come from any thread; load() runs once,
// under a lock.
class LoadedPageFetcher : public PageFetcher {
public:
    LoadedPageFetcher() = default;
    ~LoadedPageFetcher() override;
    LoadedPageFetcher(const LoadedPageFetcher&) = delete;
    LoadedPageFetcher& operator=(const LoadedPageFetcher&) = delete;

    Bytes fetch(FetchRequest& request, std::stop_token stop = {}) const final;
    void cancelAll() final;

    // Whether the fetcher has been loaded (by a fetch).
    bool isLoaded() const;

protected:
    // The fetcher, or null when it cannot be loaded (after saying why where the program says
    // such things).
    virtual std::unique_ptr<PageFetcher> load() const = 0;

private:
    PageFetcher* loadedFetcher() const;

    mutable std::mutex mutex_;
    mutable bool triedLoading_ = false;
    mutable std::unique_ptr<PageFetcher> fetcher_;
    bool cancelled_ = false;
};

}  // namespace lumo
