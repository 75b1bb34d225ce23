#pragma once

#include <stop_token>

#include "check/PageSource.h"
#include "http/PageFetcher.h"

namespace lumo {

// Plans' pages from the web: one GET through PageFetcher per call, with the plan's cookie always
// supplied (so the fetcher's own cookie store is never used) and the user-agent header line. Only
// the body is kept; the cookies and headers the response carried are dropped. A stop requested
// on the optional token (a monitoring run's) cuts a fetch under way short; the result is then
// empty.
//
// Thread-safe as PageFetcher is: a rule test and a monitoring run may fetch at once.
class WebPageSource : public PageSource {
public:
    explicit WebPageSource(const PageFetcher& fetcher, std::stop_token stop = {})
        : fetcher_(fetcher), stop_(std::move(stop)) {}

    Bytes fetchPage(const Text& url, const Text& cookie, const Text& headers) override;
    // A UTF-8 page is converted as it arrives.
    Text fetchPageText(const Text& url, const Text& cookie, const Text& headers,
                       bool utf8) override;
    // With the fetcher's reason for a failure and the response's HTTP status.
    Text fetchPlanPage(const Text& url, const Text& cookie, const Text& headers, bool utf8,
                       FetchNote& note) override;

private:
    FetchRequest requestFor(const Text& url, const Text& cookie, const Text& headers) const;

    const PageFetcher& fetcher_;
    std::stop_token stop_;
};

}  // namespace lumo
