#pragma once

#include <QStringList>
#include <memory>

#include "gui/modules/ModuleFolders.h"
#include "http/LoadedPageFetcher.h"

namespace lumo {

// The window's page fetcher: CurlPageFetcher from the module lumo_page_fetch, loaded at the first
// fetch (LoadedPageFetcher), so that a window that never fetches keeps libcurl and its libraries
// out of memory. Without the module every fetch fails, after one warning that gives each folder's
// reason.
//
// Thread-safe as PageFetcher asks: the first fetch may come from any thread.
class ModulePageFetcher : public LoadedPageFetcher {
public:
    // The module is looked for in `folders`, in order.
    explicit ModulePageFetcher(FetchOptions options = {}, QStringList folders = moduleFolders());
    ~ModulePageFetcher() override;
    ModulePageFetcher(const ModulePageFetcher&) = delete;
    ModulePageFetcher& operator=(const ModulePageFetcher&) = delete;

private:
    std::unique_ptr<PageFetcher> load() const override;

    FetchOptions options_;
    QStringList folders_;
};

}  // namespace lumo
