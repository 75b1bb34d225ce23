#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>

#include "base/Text.h"
#include "http/FetchRequest.h"
#include "http/PageFetcher.h"

namespace lumo {

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
// way a browser's per-process store does; a program keeps one fetcher for its lifetime.
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
class CurlPageFetcher : public PageFetcher {
public:
    explicit CurlPageFetcher(FetchOptions options = {});
    ~CurlPageFetcher() override;
    CurlPageFetcher(const CurlPageFetcher&) = delete;
    CurlPageFetcher& operator=(const CurlPageFetcher&) = delete;

    // Fetches request.url; see FetchRequest for what changes. A stop requested on `stop` cuts the
    // fetch short (within about a second) with an empty result.
    Bytes fetch(FetchRequest& request, std::stop_token stop = {}) const override;

    // Cuts short every fetch under way and makes every later fetch fail at once (for shutdown).
    void cancelAll() override;

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
