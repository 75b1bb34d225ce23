#include "curl/CurlPageFetcher.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "http/Cookies.h"
#include "http/FetchHeaders.h"
#include "http/UrlParts.h"

namespace lumo {
namespace {

using Clock = std::chrono::steady_clock;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The composed block as curl header lines. A line break of any kind ends a line, so no line can
// smuggle in another; empty lines are dropped, as one would end the request's header. A line
// whose value is empty is written "Name;", which curl sends as "Name:" (a bare "Name:" would tell
// curl to leave the header out).
curl_slist* curlHeaderLines(const Text& block) {
    curl_slist* list = nullptr;
    bool hasExpect = false;
    std::size_t at = 0;
    while (at <= block.size()) {
        std::size_t end = block.find_first_of("\r\n", at);
        if (end == Text::npos) end = block.size();
        Text line = block.substr(at, end - at);
        at = end + 1;
        if (trimText(line).empty()) continue;
        const std::size_t colon = line.find(':');
        if (colon != Text::npos && trimText(line.substr(colon + 1)).empty())
            line = line.substr(0, colon) + ";";
        if (lowerText(trimText(line.substr(0, colon))) == "expect") hasExpect = true;
        list = curl_slist_append(list, line.c_str());
    }
    // curl would otherwise announce larger bodies with "Expect: 100-continue".
    if (!hasExpect) list = curl_slist_append(list, "Expect:");
    return list;
}

// What one transfer collects, shared with curl's callbacks.
struct Transfer {
    const std::atomic<bool>* cancelled = nullptr;
    std::stop_token stop;
    std::size_t maxBodyBytes = 0;
    std::size_t maxHeaderBytes = 0;
    Clock::duration idleTimeout{};
    Clock::time_point lastActivity = Clock::now();
    curl_off_t lastUploaded = 0;
    bool expectsBody = true;
    Bytes body;
    BodySink* bodySink = nullptr;  // takes the body instead of `body`
    std::size_t bodyBytes = 0;     // received so far
    Text headerBlock;
    bool bodyTooLong = false;
    bool bodyNotKept = false;
    bool headerTooLong = false;
};

// Keeps or passes on one block of the body. Nothing may throw through libcurl: a body that
// cannot be kept (out of memory) ends the transfer with its reason.
size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastActivity = Clock::now();
    if (n > t->maxBodyBytes - t->bodyBytes) {
        t->bodyTooLong = true;
        return 0;
    }
    t->bodyBytes += n;
    try {
        if (t->bodySink != nullptr) {
            t->bodySink->receive(std::string_view(data, n));
            return n;
        }
        // In pieces of 2 KB: glibc takes `rep movsb` for longer copies, which some processors
        // run several times slower when source and destination are aligned differently, as a
        // kept body and the transfer's buffer usually are.
        constexpr size_t kPiece = 2048;
        for (size_t done = 0; done < n; done += kPiece) {
            t->body.append(data + done, std::min(kPiece, n - done));
        }
    } catch (const std::exception&) {
        t->bodyNotKept = true;
        return 0;
    }
    return n;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lowerPrefix[i])
            return false;
    }
    return true;
}

// A body announced by a Content-Length line within the limit gets its room at once, so the body
// is not copied over and over as it grows.
void reserveAnnouncedBody(Transfer& t, std::string_view line) {
    constexpr std::string_view name = "content-length:";
    if (!t.expectsBody || !startsWithIgnoringCase(line, name)) return;
    std::string_view value = line.substr(name.size());
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size()) return;
    if (length > t.maxBodyBytes) return;
    if (t.bodySink != nullptr) {
        t.bodySink->expect(length);
    } else if (length > t.body.capacity()) {
        t.body.reserve(length);
    }
}

// Called once per header line of every response (redirects and interim answers included); a
// status line starts the block anew, so the block ends up holding the final response's header.
size_t onHeaderLine(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    t->lastActivity = Clock::now();
    if (n > t->maxHeaderBytes - std::min(t->maxHeaderBytes, t->headerBlock.size())) {
        t->headerTooLong = true;  // endless header lines
        return 0;
    }
    std::string_view line(data, n);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.substr(0, 5) == "HTTP/") t->headerBlock.clear();
    reserveAnnouncedBody(*t, line);
    t->headerBlock.append(line);
    t->headerBlock += "\r\n";
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* t = static_cast<Transfer*>(user);
    if (t->cancelled->load() || t->stop.stop_requested()) return 1;
    const Clock::time_point now = Clock::now();
    if (uploaded != t->lastUploaded) {
        t->lastUploaded = uploaded;
        t->lastActivity = now;
    }
    return now - t->lastActivity > t->idleTimeout ? 1 : 0;
}

struct CurlCleanup {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct CurlListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;
using CurlList = std::unique_ptr<curl_slist, CurlListFree>;

// Address, protocol and the header lines of the request.
void setRequest(CURL* curl, const std::string& address, const Text& agent, curl_slist* lines) {
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, lines);
    // The proxy gets none of the page's header lines, only its own CONNECT request.
    curl_easy_setopt(curl, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
}

// The method a request goes out with: its own, GET for a value outside the enumeration.
FetchMethod sentMethod(FetchMethod method) {
    switch (method) {
        case FetchMethod::Post:
        case FetchMethod::Head:
            return method;
        default:
            return FetchMethod::Get;
    }
}

void setMethod(CURL* curl, FetchMethod method, const Bytes& postBytes) {
    switch (method) {
        case FetchMethod::Post:
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(postBytes.size()));
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postBytes.data());
            break;
        case FetchMethod::Head:
            // HEAD goes out without a body: libcurl cannot send one with it, and a server
            // gives a body to a HEAD request no meaning.
            curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
            break;
        default:
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
}

// Redirects and the proxy.
void setRoute(CURL* curl, const FetchRequest& request, const FetchOptions& options,
              curl_slist* proxyLines) {
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, request.noRedirect ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // An empty proxy text means a direct connection, whatever the environment says.
    curl_easy_setopt(curl, CURLOPT_PROXY, request.proxy.c_str());
    // A request through the proxy carries no "Proxy-Connection" line of curl's either.
    curl_easy_setopt(curl, CURLOPT_PROXYHEADER, proxyLines);
    if (!request.proxy.empty()) {
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
        curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    }
}

void setTrust(CURL* curl, const FetchOptions& options) {
    if (!options.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, options.caFile.c_str());
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
}

// Time, rate and size limits; the idle limit and the header size are kept by the callbacks.
void setLimits(CURL* curl, const FetchOptions& options, FetchMethod method) {
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, options.minBytesPerSecond);
    // curl counts the low-speed time in whole seconds.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME,
                     std::max(1L, static_cast<long>(options.lowSpeedTime.count() / 1000)));
    // An announced length over the limit fails at once (a HEAD answer announces without sending).
    if (method != FetchMethod::Head) {
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options.maxBodyBytes));
    }
}

void setCallbacks(CURL* curl, Transfer& transfer) {
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeaderLine);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
}

// The words of a fetch's failure, for a log line after "（".
Text reasonText(const char* utf8) {
    return gbk(utf8);
}

Text seconds(std::chrono::milliseconds limit) {
    const auto ms = limit.count();
    return textOfInteger(static_cast<int>(ms / 1000)) +
           (ms % 1000 == 0 ? Text() : "." + textOfInteger(static_cast<int>(ms % 1000 / 100))) +
           reasonText(" 秒");
}

// Which of the time limits ended a transfer that curl reports as timed out.
Text timedOutReason(CURL* curl, const FetchOptions& options, Clock::duration took) {
    curl_off_t connected = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
    if (connected == 0) {
        return reasonText("超时：") + seconds(options.connectTimeout) +
               reasonText("内未能建立连接");
    }
    if (took >= options.totalTimeout) {
        return reasonText("超时：整个请求超过 ") + seconds(options.totalTimeout);
    }
    return reasonText("超时：传输过慢（") + seconds(options.lowSpeedTime) +
           reasonText("内平均每秒不足 ") +
           textOfInteger(static_cast<int>(options.minBytesPerSecond)) + reasonText(" 字节）");
}

Text connectReason(CURL* curl) {
    long osError = 0;
    curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    if (osError == ECONNREFUSED) return reasonText("无法连接：连接被拒绝");
    if (osError == ENETUNREACH || osError == EHOSTUNREACH)
        return reasonText("无法连接：网络不可达");
    return reasonText("无法连接");
}

Status fetchFailure(Status::Kind kind, const Text& words, CURLcode code = CURLE_OK) {
    return Status::failure(kind, words, static_cast<int>(code));
}

// A limit of the transfer's own that ended it (its callbacks stopped it), if one did.
std::optional<Status> limitFailure(CURLcode result, const Transfer& transfer,
                                   const FetchOptions& options) {
    if (transfer.bodyTooLong || result == CURLE_FILESIZE_EXCEEDED) {
        return fetchFailure(Status::Kind::Failed,
                            reasonText("页面超过大小上限（") +
                                textOfInteger(static_cast<int>(options.maxBodyBytes / 1024)) +
                                " KiB" + reasonText("）"),
                            result);
    }
    if (transfer.bodyNotKept) {
        return fetchFailure(Status::Kind::Failed, reasonText("内存不足，无法保存页面"), result);
    }
    if (transfer.headerTooLong) {
        return fetchFailure(Status::Kind::Failed, reasonText("响应头超过大小上限"), result);
    }
    return std::nullopt;
}

// Why the transfer failed, in a few words for a log line (GBK), with curl's code; ok when it
// succeeded.
Status failureOf(CURLcode result, CURL* curl, const Transfer& transfer, const FetchOptions& options,
                 Clock::duration took) {
    if (std::optional<Status> limit = limitFailure(result, transfer, options)) return *limit;
    const auto failed = [result](const Text& words) {
        return fetchFailure(Status::Kind::Failed, words, result);
    };
    switch (result) {
        case CURLE_OK:
            return Status();
        case CURLE_ABORTED_BY_CALLBACK:
            if (transfer.cancelled->load() || transfer.stop.stop_requested()) {
                return fetchFailure(Status::Kind::Cancelled, reasonText("已取消"), result);
            }
            return fetchFailure(Status::Kind::TimedOut,
                                reasonText("超时：") +
                                    seconds(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        transfer.idleTimeout)) +
                                    reasonText("内没有收到任何数据"),
                                result);
        case CURLE_COULDNT_RESOLVE_HOST:
            return failed(reasonText("无法解析主机名"));
        case CURLE_COULDNT_RESOLVE_PROXY:
            return failed(reasonText("无法解析代理服务器的主机名"));
        case CURLE_COULDNT_CONNECT:
            return failed(connectReason(curl));
        case CURLE_OPERATION_TIMEDOUT:
            return fetchFailure(Status::Kind::TimedOut, timedOutReason(curl, options, took),
                                result);
        case CURLE_PEER_FAILED_VERIFICATION:
            return failed(reasonText("TLS 证书验证失败"));
        case CURLE_SSL_CONNECT_ERROR:
            return failed(reasonText("TLS 握手失败"));
        case CURLE_TOO_MANY_REDIRECTS:
            return failed(reasonText("重定向次数过多（超过 ") +
                          textOfInteger(static_cast<int>(options.maxRedirects)) +
                          reasonText(" 次）"));
        case CURLE_GOT_NOTHING:
            return failed(reasonText("服务器没有返回任何内容"));
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            return failed(reasonText("连接中途断开"));
        case CURLE_WEIRD_SERVER_REPLY:
            return failed(reasonText("服务器的响应无法识别"));
        default:
            return failed(reasonText("请求失败：") + curl_easy_strerror(result));
    }
}

// Why a fetch cannot start at all: an address without a host or port, or a stop already asked
// for. Ok when it can.
Status startFailure(const std::string& address, bool cancelled) {
    if (address.empty()) {
        return fetchFailure(Status::Kind::Refused, reasonText("网址无效：没有可用的主机或端口"));
    }
    if (cancelled) return fetchFailure(Status::Kind::Cancelled, reasonText("已取消"));
    return Status();
}

Transfer transferFor(const FetchRequest& request, const FetchOptions& options, FetchMethod method) {
    Transfer transfer;
    transfer.maxBodyBytes = options.maxBodyBytes;
    transfer.bodySink = request.bodySink;
    transfer.idleTimeout = options.idleTimeout;
    transfer.maxHeaderBytes = options.maxHeaderBytes;
    transfer.expectsBody = method != FetchMethod::Head;
    return transfer;
}

// What the fetch hands back besides the body, once the handle has done its work: the final
// response's header block, address and cookies (after a failure no header and no address).
void finishRequest(FetchRequest& request, const Transfer& transfer, const Text& finalUrl) {
    const bool ok = request.outcome.ok();
    request.headersOut = ok ? withSetCookieSpelled(transfer.headerBlock) : Text();
    request.finalUrl = ok ? finalUrl : Text();
    request.cookiesOut = cookiesOfResponse(request.headersOut);
    if (request.cookie) request.cookiesOut = mergeCookies(*request.cookie, request.cookiesOut);
}

}  // namespace

// The curl handles of one kind of fetch, kept between fetches with the connections they hold
// open, and the share their handles use for the DNS cache and TLS sessions (and, for the cookie
// store's kind, the cookies). A handle serves one fetch at a time, so no connection is ever
// used by two threads; the share is locked around every access, one lock per kind of data.
struct CurlPageFetcher::Handles {
    // Idle handles kept at most; each keeps a few connections of its own open.
    static constexpr std::size_t kMaxIdle = 4;

    CURLSH* share = curl_share_init();
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
    std::mutex idleMutex;
    std::vector<CURL*> idle;

    explicit Handles(bool withCookies) {
        curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &Handles::lock);
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &Handles::unlock);
        curl_share_setopt(share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        if (withCookies) curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    // Called when no fetch runs any more: the handles close their connections, then the share
    // (which no handle uses by then) goes.
    ~Handles() {
        for (CURL* curl : idle) curl_easy_cleanup(curl);
        curl_share_cleanup(share);
    }
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;

    // An idle handle (its options were reset; its connections, caches and share stay), or a new
    // one on the share; null when curl cannot make one.
    CurlHandle take() {
        {
            const std::lock_guard guard(idleMutex);
            if (!idle.empty()) {
                CurlHandle curl(idle.back());
                idle.pop_back();
                return curl;
            }
        }
        CurlHandle curl(curl_easy_init());
        if (curl) curl_easy_setopt(curl.get(), CURLOPT_SHARE, share);
        return curl;
    }

    // Keeps a handle whose fetch ended for the next fetch, or lets it go when enough are kept.
    void give(CurlHandle curl) {
        const std::lock_guard guard(idleMutex);
        if (idle.size() < kMaxIdle) idle.push_back(curl.release());
    }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
        static_cast<Handles*>(user)->locks[static_cast<std::size_t>(data)].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* user) {
        static_cast<Handles*>(user)->locks[static_cast<std::size_t>(data)].unlock();
    }
};

CurlPageFetcher::CurlPageFetcher(FetchOptions options) : options_(std::move(options)) {}

CurlPageFetcher::~CurlPageFetcher() = default;

CurlPageFetcher::Handles& CurlPageFetcher::handlesFor(bool storeCookies) const {
    // curl (and the TLS library under it) starts with the first fetch, not with the program.
    std::call_once(startOnce_, [this] {
        initialiseCurlOnce();
        storeHandles_ = std::make_unique<Handles>(true);
        plainHandles_ = std::make_unique<Handles>(false);
    });
    return storeCookies ? *storeHandles_ : *plainHandles_;
}

void CurlPageFetcher::cancelAll() {
    cancelled_.store(true);
}

Bytes CurlPageFetcher::fetch(FetchRequest& request, std::stop_token stop) const {
    const FetchMethod method = sentMethod(request.method);
    const Text agent = userAgentOf(request.headers);
    const std::string address = wireAddress(request.url);
    request.outcome = startFailure(address, cancelled_.load() || stop.stop_requested());
    if (!request.outcome.ok()) return Bytes();
    Handles& handles = handlesFor(!request.cookie);
    CurlHandle curl = handles.take();
    if (!curl) {
        request.outcome = fetchFailure(Status::Kind::Failed, reasonText("无法开始请求"));
        return Bytes();
    }

    request.headers = composeHeaderBlock(request.headers, request.url, request.cookie.value_or(""));
    if (method != FetchMethod::Get && request.postBytes.empty()) {
        request.postBytes = request.postText;
    }

    Transfer transfer = transferFor(request, options_, method);
    transfer.cancelled = &cancelled_;
    transfer.stop = stop;
    const CurlList headerLines(curlHeaderLines(request.headers));
    const CurlList proxyLines(curl_slist_append(nullptr, "Proxy-Connection:"));

    setRequest(curl.get(), address, agent, headerLines.get());
    setMethod(curl.get(), method, request.postBytes);
    setRoute(curl.get(), request, options_, proxyLines.get());
    // The share again (a kept handle lost its cookie store's address when its cookie file option
    // was cleared), and the cookie engine on the shared store; handles of supplied cookies never
    // start it.
    curl_easy_setopt(curl.get(), CURLOPT_SHARE, handles.share);
    if (!request.cookie) curl_easy_setopt(curl.get(), CURLOPT_COOKIEFILE, "");
    setTrust(curl.get(), options_);
    setLimits(curl.get(), options_, method);
    setCallbacks(curl.get(), transfer);

    const Clock::time_point started = Clock::now();
    const CURLcode result = curl_easy_perform(curl.get());
    request.outcome = failureOf(result, curl.get(), transfer, options_, Clock::now() - started);
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    request.status = static_cast<int>(status);
    const char* effective = nullptr;
    curl_easy_getinfo(curl.get(), CURLINFO_EFFECTIVE_URL, &effective);
    const Text finalUrl = effective != nullptr ? Text(effective) : Text();
    // The handle's options point into this call's lists and buffers; they go before the lists do.
    // libcurl 7.88 drops the cookie file option's list on a reset without freeing it; clearing
    // the option first frees it (the shared store keeps its cookies).
    if (!request.cookie) curl_easy_setopt(curl.get(), CURLOPT_COOKIEFILE, nullptr);
    curl_easy_reset(curl.get());
    handles.give(std::move(curl));
    finishRequest(request, transfer, finalUrl);
    return request.outcome.ok() ? std::move(transfer.body) : Bytes();
}

}  // namespace lumo
