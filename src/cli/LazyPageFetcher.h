#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CliApplication.h"
#include "http/LoadedPageFetcher.h"

namespace lumo::cli {

// lumo-cli's page fetcher: CurlPageFetcher from the module lumo_page_fetch, loaded at the first
// fetch (LoadedPageFetcher). lumo-cli does not link libcurl, so a command that fetches nothing
// (--help, plans, latest, feed...) does not load curl and the thirty-odd libraries it pulls in
// (TLS, HTTP/2, SSH, LDAP, Kerberos), which cost most of its start.
//
// The module is looked for in the program's folder, then in the installed module folder beside
// it (bin/../lib/.../lumo). A module of another build (its lumoModuleStamp() differs or is
// missing) is refused and the search goes on. Without a usable module every fetch fails, saying
// so in request.outcome, after one line on standard error that gives each folder's reason.
//
// Thread-safe as PageFetcher asks: the first fetch may come from any thread.
class LazyPageFetcher : public LoadedPageFetcher {
public:
    explicit LazyPageFetcher(
        std::string programDirectory = CliApplication::programDirectory(nullptr));
    ~LazyPageFetcher() override;
    LazyPageFetcher(const LazyPageFetcher&) = delete;
    LazyPageFetcher& operator=(const LazyPageFetcher&) = delete;

private:
    std::unique_ptr<PageFetcher> load() const override;

    std::vector<std::string> folders_;
};

}  // namespace lumo::cli
