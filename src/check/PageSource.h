#pragma once

#include "base/GbkCodec.h"
#include "base/Text.h"
#include "base/TextOps.h"

namespace lumo {

// Where plan processing gets a plan's page from: the web in the product, canned pages in tests.
//
// Thread-safety: fetchPage may run on a rule test's thread and on a monitoring worker
// at the same time; implementations keep no shared state or guard it.
class PageSource {
public:
    virtual ~PageSource() = default;

    // One GET of `url` sending `cookie` (possibly empty; never the platform's own cookie store)
    // and the header lines `headers` ("User-Agent: " + the plan's user agent). Returns the body
    // exactly as received; empty stands for a failed fetch.
    virtual Bytes fetchPage(const Text& url, const Text& cookie, const Text& headers) = 0;

    // The same page as text: a GBK page (`utf8` false) as it came, up to a NUL byte; any other
    // page converted from UTF-8, up to a NUL of the result. A source that can convert the page as
    // it arrives does so.
    virtual Text fetchPageText(const Text& url, const Text& cookie, const Text& headers,
                               bool utf8) {
        const Bytes body = fetchPage(url, cookie, headers);
        return utf8 ? utf8ToGbk(body) : textOfBytes(body);
    }
};

}  // namespace lumo
