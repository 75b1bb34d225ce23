#pragma once

#include <stop_token>

#include "monitor/PageSource.h"
#include "web/PageFetcher.h"

namespace lumo {

// Plans' pages from the web for one monitoring run: one GET through PageFetcher per call, with
// the plan's cookie always supplied and the user-agent header line, like WebPageSource, but a stop
// requested on the run's token cuts a fetch under way short (the result is then empty).
//
// Thread-safe as PageFetcher is.
class StoppableWebPageSource : public PageSource {
public:
    StoppableWebPageSource(const PageFetcher& fetcher, std::stop_token stop)
        : fetcher_(fetcher), stop_(std::move(stop)) {}

    Bytes fetchPage(const Text& url, const Text& cookie, const Text& headers) override;

private:
    const PageFetcher& fetcher_;
    std::stop_token stop_;
};

}  // namespace lumo
