#include "check/WebPageSource.h"

namespace lumo {

Bytes WebPageSource::fetchPage(const Text& url, const Text& cookie, const Text& headers) {
    FetchRequest request;
    request.url = url;
    request.method = 0;
    request.cookie = cookie;
    request.headers = headers;
    return fetcher_.fetch(request, stop_);
}

}  // namespace lumo
