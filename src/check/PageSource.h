#pragma once

#include "base/GbkCodec.h"
#include "base/Status.h"
#include "base/Text.h"
#include "base/TextOps.h"

namespace lumo {

// What a fetch said besides the page: how it went (ok, or the fetch's failure as the fetcher gave
// it: its kind, curl's code and the reason in GBK words), and the HTTP status of the response (0
// when none arrived or the source has none).
struct FetchNote {
    Status outcome;
    int status = 0;
};

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

    // fetchPageText() with what the fetch said. A source that knows nothing more tells an empty
    // page as a failed fetch (Failed, "没有取到页面").
    virtual Text fetchPlanPage(const Text& url, const Text& cookie, const Text& headers, bool utf8,
                               FetchNote& note) {
        Text text = fetchPageText(url, cookie, headers, utf8);
        if (text.empty()) note.outcome = Status::failure(Status::Kind::Failed, gbk("没有取到页面"));
        return text;
    }
};

}  // namespace lumo
