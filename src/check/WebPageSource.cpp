#include "check/WebPageSource.h"

#include "http/GbkTextBody.h"

namespace lumo {

FetchRequest WebPageSource::requestFor(const Text& url, const Text& cookie,
                                       const Text& headers) const {
    FetchRequest request;
    request.url = url;
    request.method = FetchMethod::Get;
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
    FetchNote note;
    return fetchPlanPage(url, cookie, headers, utf8, note);
}

Text WebPageSource::fetchPlanPage(const Text& url, const Text& cookie, const Text& headers,
                                  bool utf8, FetchNote& note) {
    FetchRequest request = requestFor(url, cookie, headers);
    GbkTextBody body;
    if (utf8) request.bodySink = &body;
    const Bytes bytes = fetcher_.fetch(request, stop_);
    note.outcome = request.outcome;
    note.status = request.status;
    // A failed fetch gives no page, whatever part of it arrived.
    if (!request.outcome.ok()) return Text();
    return utf8 ? body.finish() : textOfBytes(bytes);
}

}  // namespace lumo
