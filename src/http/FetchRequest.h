#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

#include "base/Status.h"
#include "base/Text.h"
#include "http/BodySink.h"

namespace lumo {

// The HTTP method of a request. A value outside these three (only a cast can make one) is sent as
// GET.
enum class FetchMethod { Get = 0, Post = 1, Head = 2 };

// One page request and what it carries back besides the body. Fields marked in/out are changed
// by the fetch; out fields are written by it. A caller fills in what it needs and leaves the rest.
struct FetchRequest {
    Text url;  // "http://...", "https://..." or the host itself (plain HTTP)
    FetchMethod method = FetchMethod::Get;
    Text postText;  // request body as text, used when postBytes is empty
    // in/out. Supplied (even empty): sent as the "Cookie:" line, and the fetcher's cookie store is
    // neither used nor fed; afterwards it holds the jar merged with the cookies the response set.
    // Left out: the fetcher's cookie store sends and keeps cookies, as a browser would.
    std::optional<Text> cookie;
    Text cookiesOut;  // out: the cookies the final response set, "name=value; name=value"
    Text headers;     // in/out: extra header lines joined by CR LF; becomes the sent block
    Text headersOut;  // out: status line and header lines of the final response, each ending
                      // in CR LF, then the empty line; empty when no response arrived
    bool noRedirect = false;
    Bytes postBytes;  // in/out: request body as bytes; for POST and HEAD an empty one is
                      // replaced by postText
    Text proxy;       // "host:port" of an HTTP proxy; empty for a direct connection
    Text finalUrl;    // out: the address the body came from, redirects followed; empty after a
                      // failure
    // out: ok, or why the fetch failed: its reason in a few words (GBK) for a log line, naming the
    // limit that ended it; its kind Refused (an address without a host), Cancelled, TimedOut or
    // Failed; its code the library's (curl's) where it gave one.
    Status outcome;
    // out: the HTTP status of the last response that arrived (0 when none did). An error status
    // (4xx, 5xx) is no failure: its body comes back as any page's does.
    int status = 0;
    // in: where the body goes as it arrives; the fetch then returns it empty. Left out, the fetch
    // returns the body.
    BodySink* bodySink = nullptr;
};

// Limits and trust settings of a PageFetcher.
struct FetchOptions {
    // Giving up on name resolution plus connecting (TLS handshake included).
    std::chrono::milliseconds connectTimeout{30000};
    // Giving up when no byte arrives for this long (counted from the start of the call).
    std::chrono::milliseconds idleTimeout{60000};
    // Giving up on the whole fetch after this long, however steadily bytes arrive.
    std::chrono::milliseconds totalTimeout{120000};
    // Giving up when fewer than minBytesPerSecond arrive on average over lowSpeedTime, so a
    // server dripping a byte now and then cannot hold a round.
    long minBytesPerSecond = 16;
    std::chrono::milliseconds lowSpeedTime{30000};
    // Response header lines longer than this in total fail the fetch.
    std::size_t maxHeaderBytes = std::size_t{1} << 20;
    // A body longer than this is cut off and the fetch fails.
    std::size_t maxBodyBytes = std::size_t{256} << 20;
    // Redirects followed at most.
    long maxRedirects = 10;
    // PEM file of the certificate authorities HTTPS servers are checked against; empty for the
    // system's list.
    std::string caFile;
};

}  // namespace lumo
