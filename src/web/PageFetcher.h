#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>

#include "base/Text.h"

namespace lumo {

// One page request and what it carries back besides the body. Fields marked in/out are changed
// by the fetch; out fields are written by it. A caller fills in what it needs and leaves the rest.
struct FetchRequest {
    Text url;        // "http://...", "https://..." or the host itself (plain HTTP)
    int method = 0;  // 0 GET, 1 POST, 2 HEAD; any other value is GET
    Text postText;   // request body as text, used when postBytes is empty
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
    Text failure;     // out: why the fetch failed, in a few words for a log line; empty after
                      // success
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

// Performs one HTTP/1.1 request per fetch() over libcurl and returns the response body exactly
// as received, whatever the status: no character set conversion, no content decoding, never an
// answer from a cache. The request carries Host, the user agent, the composed header block
// (Accept, Referer, Accept-Language, Content-Type and Cookie lines are added unless the caller's
// lines name them) and, with a body, Content-Length; nothing else. Redirects are followed (also
// from HTTP to HTTPS) unless noRedirect; HTTPS certificates are verified.
//
// Failure (bad address, refused or timed-out connection, untrusted certificate, too many
// redirects, a body or header over its limit, the total time or the minimum rate exceeded,
// cancellation) gives an empty result and says why in `failure`; an address that cannot
// be connected to at all leaves every in/out field untouched.
//
// Cookie store: fetches that leave `cookie` out share one in-memory store kept in this object,
// which sends the cookies received earlier (redirects included) to the hosts they belong to, the
// way a browser's per-process store does; the program keeps one PageFetcher for its lifetime.
// Fetches that supply a cookie never touch it: they send their own "Cookie:" line (not to
// another host a redirect leads to) and keep nothing.
//
// Proxy: `proxy` serves both schemes; plain addresses are requested from it in absolute form,
// secure ones through a CONNECT tunnel that shows the proxy none of the page's header lines.
//
// Connections: kept open after a fetch and used again by later fetches to the same host (and
// port and scheme) while the server keeps them: up to five on each of the four idle curl handles
// kept for each kind of fetch below; each closed when the server closes it, when it has idled
// for about two minutes, or with the fetcher. A fetch cut short
// closes its connection. Fetches that leave `cookie` out and fetches that supply one never share
// a connection, and no connection carries a cookie: each request's own lines are all it sends.
//
// curl starts (with its TLS library) on the first fetch, so a program that never fetches does
// not pay for it.
//
// Thread-safe: fetch() may run on several threads at once (each call uses a curl handle and its
// connections alone); cancelAll() may be called from any thread. The destructor must run after
// every fetch has returned; it closes the kept connections.
class PageFetcher {
public:
    explicit PageFetcher(FetchOptions options = {});
    ~PageFetcher();
    PageFetcher(const PageFetcher&) = delete;
    PageFetcher& operator=(const PageFetcher&) = delete;

    // Fetches request.url; see FetchRequest for what changes. A stop requested on `stop` cuts the
    // fetch short (within about a second) with an empty result.
    Bytes fetch(FetchRequest& request, std::stop_token stop = {}) const;

    // Cuts short every fetch under way and makes every later fetch fail at once (for shutdown).
    void cancelAll();

private:
    struct Handles;

    // The handles of fetches that use the cookie store (true) or supply a cookie (false); the
    // first call starts curl.
    Handles& handlesFor(bool storeCookies) const;

    FetchOptions options_;
    mutable std::once_flag startOnce_;
    mutable std::unique_ptr<Handles> storeHandles_;
    mutable std::unique_ptr<Handles> plainHandles_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace lumo
