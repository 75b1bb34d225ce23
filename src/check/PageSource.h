#pragma once

#include "base/Text.h"

namespace lumo {

// Where plan processing gets a plan's page from: the web in the product, canned pages in tests.
//
// Thread-safety: fetchPage may run on the window thread (a rule test) and on a monitoring worker
// at the same time; implementations keep no shared state or guard it.
class PageSource {
public:
    virtual ~PageSource() = default;

    // One GET of `url` sending `cookie` (possibly empty; never the platform's own cookie store)
    // and the header lines `headers` ("User-Agent: " + the plan's user agent). Returns the body
    // exactly as received; empty stands for a failed fetch.
    virtual Bytes fetchPage(const Text& url, const Text& cookie, const Text& headers) = 0;
};

}  // namespace lumo
