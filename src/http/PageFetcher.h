#pragma once

#include <stop_token>

#include "base/Text.h"
#include "http/FetchRequest.h"

namespace lumo {

// Fetches pages over HTTP: the seam between the plans' checks and the library that does the
// fetching (CurlPageFetcher; the window loads it as a module at its first fetch).
//
// fetch() returns the response body exactly as received, whatever the status; a failure gives an
// empty result and says why in request.outcome. See FetchRequest for what a fetch changes.
//
// Thread-safe: fetch() may run on several threads at once; cancelAll() may be called from any
// thread.
class PageFetcher {
public:
    virtual ~PageFetcher() = default;

    // Fetches request.url. A stop requested on `stop` cuts the fetch short (within about a
    // second) with an empty result.
    virtual Bytes fetch(FetchRequest& request, std::stop_token stop = {}) const = 0;

    // Cuts short every fetch under way and makes every later fetch fail at once (for shutdown).
    virtual void cancelAll() = 0;
};

}  // namespace lumo
