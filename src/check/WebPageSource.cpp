#include "check/WebPageSource.h"

#include "web/GbkTextBody.h"

namespace lumo {

FetchRequest WebPageSource::requestFor(const Text& url, const Text& cookie,
                                       const Text& headers) const {
    FetchRequest request;
    request.url = url;
    request.method = 0;
    request.cookie = cookie;
    request.headers = headers;
    return request;
}

Bytes WebPageSource::fetchPage(const Text& url, const Text& cookie, const Text& headers) {
    FetchRequest request = requestFor(url, cookie, headers);
    return fetcher_.fetch(request, stop_);
}

Text WebPageSource::fetchPageText(const Text& url, const Text& cookie, const Text& headers,
                                  bool utf8) {
    if (!utf8) return PageSource::fetchPageText(url, cookie, headers, utf8);
    FetchRequest request = requestFor(url, cookie, headers);
    GbkTextBody body;
    request.bodySink = &body;
    fetcher_.fetch(request, stop_);
    // A failed fetch gives no page, whatever part of it arrived.
    return request.failure.empty() ? body.finish() : Text();
}

}  // namespace lumo
