#pragma once

#include <QStringList>
#include <memory>
#include <mutex>

#include "gui/modules/ModuleFolders.h"
#include "http/FetchRequest.h"
#include "http/PageFetcher.h"

namespace lumo {

// The window's page fetcher: CurlPageFetcher from the module lumo_page_fetch, loaded at the first
// fetch, so that a window that never fetches keeps libcurl and its libraries out of memory. Once
// loaded, every call goes to it; the module stays loaded for the program's lifetime. Without the
// module every fetch fails, saying so in request.outcome.
//
// Thread-safe as PageFetcher asks: the first fetch may come from any thread.
class ModulePageFetcher : public PageFetcher {
public:
    // The module is looked for in `folders`, in order.
    explicit ModulePageFetcher(FetchOptions options = {}, QStringList folders = moduleFolders());
    ~ModulePageFetcher() override;
    ModulePageFetcher(const ModulePageFetcher&) = delete;
    ModulePageFetcher& operator=(const ModulePageFetcher&) = delete;

    Bytes fetch(FetchRequest& request, std::stop_token stop = {}) const override;
    void cancelAll() override;

    // Whether the module has been loaded (by a fetch).
    bool isLoaded() const;

private:
    // The module's fetcher, loading the module on the first call; null without the module.
    PageFetcher* loadedFetcher() const;

    FetchOptions options_;
    QStringList folders_;
    mutable std::mutex mutex_;
    mutable bool triedLoading_ = false;
    mutable std::unique_ptr<PageFetcher> fetcher_;
    bool cancelled_ = false;
};

}  // namespace lumo
