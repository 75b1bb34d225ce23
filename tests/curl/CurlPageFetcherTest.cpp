#include "curl/CurlPageFetcher.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "base/GbkCodec.h"
#include "support/LocalHttpServer.h"
#include "support/TestCertificate.h"

namespace lumo {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;
using test::ReceivedRequest;
using test::ServedResponse;
using test::TestCertificate;

const Text kPlanAgent = "Mozilla/5.0 (X11; Linux) LumoTest";

FetchOptions quickOptions() {
    FetchOptions options;
    options.connectTimeout = 2s;
    options.idleTimeout = 1500ms;
    return options;
}

ServedResponse withHeaders(std::vector<std::string> lines, std::string body = "ok") {
    ServedResponse response;
    response.headerLines = std::move(lines);
    response.body = std::move(body);
    return response;
}

class CurlPageFetcherTest : public ::testing::Test {
protected:
    LocalHttpServer server;
    CurlPageFetcher fetcher{quickOptions()};

    // A fetch the way plan processing makes it: GET, the plan's agent and cookie.
    Bytes planFetch(const Text& url, const Text& cookie) {
        FetchRequest request;
        request.url = url;
        request.cookie = cookie;
        request.headers = "User-Agent: " + kPlanAgent;
        return fetcher.fetch(request);
    }

    // A plain GET that leaves the cookie out, so the fetcher's cookie store sends and keeps
    // cookies.
    Bytes storeFetch(const std::string& url) {
        FetchRequest request;
        request.url = url;
        return fetcher.fetch(request);
    }

    std::string host() const { return "Host: " + server.hostAndPort() + "\r\n"; }
};

TEST_F(CurlPageFetcherTest, PlanFetchSendsExactlyTheComposedBlock) {
    server.page("/board", "<ul>list</ul>");
    const Text url = server.url("/board?fid=3&page=1");

    EXPECT_EQ(planFetch(url, "sid=42; theme=dark"), "<ul>list</ul>");

    EXPECT_EQ(server.lastRequest().raw, "GET /board?fid=3&page=1 HTTP/1.1\r\n" + host() +
                                            "User-Agent: " + kPlanAgent +
                                            "\r\n"
                                            "Accept: */*\r\n"
                                            "Referer: " +
                                            url +
                                            "\r\n"
                                            "Accept-Language: zh-cn\r\n"
                                            "Content-Type: application/x-www-form-urlencoded\r\n"
                                            "Cookie: sid=42; theme=dark\r\n"
                                            "\r\n");
}

TEST_F(CurlPageFetcherTest, ComposedBlockIsHandedBackAndResponseHeaderIsOneBlock) {
    server.route("/p", [](const ReceivedRequest&) {
        return withHeaders({"Content-Type: text/plain", "X-Long: " + std::string(9000, 'x')});
    });
    FetchRequest request;
    request.url = server.url("/p");
    EXPECT_EQ(fetcher.fetch(request), "ok");
    EXPECT_EQ(request.headers, "Accept: */*\r\nReferer: " + request.url +
                                   "\r\nAccept-Language: zh-cn\r\n"
                                   "Content-Type: application/x-www-form-urlencoded");
    // No 5000-byte ceiling: the whole block arrives, closed by the empty line.
    EXPECT_EQ(request.headersOut, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nX-Long: " +
                                      std::string(9000, 'x') + "\r\nContent-Length: 2\r\n\r\n");
    // Without a User-Agent line the default agent goes out, and no header of curl's own.
    const ReceivedRequest received = server.lastRequest();
    EXPECT_EQ(received.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    EXPECT_EQ(received.headers.size(), 6u);
    EXPECT_EQ(received.headerCount("Accept"), 1);
}

TEST_F(CurlPageFetcherTest, CallerLinesKeepTheirOwnValues) {
    server.page("/p", "ok");
    FetchRequest request;
    request.url = server.url("/p");
    request.headers =
        "User-Agent: A/1\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: text/xml\r\n"
        "Referer: http://elsewhere.example/";
    request.cookie = "Cookie: k=v";
    fetcher.fetch(request);
    EXPECT_EQ(
        server.lastRequest().headerBlock,
        host() +
            "User-Agent: A/1\r\nAccept: text/html\r\nAccept-Language: en\r\n"
            "Content-Type: text/xml\r\nReferer: http://elsewhere.example/\r\nCookie: k=v\r\n");
}

TEST_F(CurlPageFetcherTest, LinesCannotBreakTheBlock) {
    server.page("/p", "ok");
    // A plan without an agent: the line goes out empty and no agent is added.
    FetchRequest noAgent;
    noAgent.url = server.url("/p");
    noAgent.cookie = "";
    noAgent.headers = "User-Agent: ";
    EXPECT_EQ(fetcher.fetch(noAgent), "ok");
    ReceivedRequest received = server.lastRequest();
    EXPECT_NE(received.headerBlock.find("\r\nUser-Agent:\r\n"), std::string::npos) << received.raw;
    EXPECT_EQ(received.headerCount("User-Agent"), 1);

    // Trailing and stray line breaks neither end the header early nor forge lines.
    FetchRequest request;
    request.url = server.url("/p");
    request.headers = "X-One: 1\r\n\r\nX-Two: 2\nX-Three: 3\r";
    EXPECT_EQ(fetcher.fetch(request), "ok");
    received = server.lastRequest();
    EXPECT_EQ(received.body, "");
    EXPECT_EQ(received.header("X-Two"), "2");
    EXPECT_EQ(received.header("X-Three"), "3");
    EXPECT_EQ(received.header("Accept-Language"), "zh-cn");
    EXPECT_EQ(received.headers.size(), 9u);
}

TEST_F(CurlPageFetcherTest, MethodsAndBodies) {
    server.page("/form", "done");
    FetchRequest post;
    post.url = server.url("/form");
    post.method = FetchMethod::Post;
    post.postText = "a=1&b=2";
    EXPECT_EQ(fetcher.fetch(post), "done");
    EXPECT_EQ(post.postBytes, "a=1&b=2");  // the caller sees the text as the body sent
    ReceivedRequest received = server.lastRequest();
    EXPECT_EQ(received.requestLine, "POST /form HTTP/1.1");
    EXPECT_EQ(received.body, "a=1&b=2");
    EXPECT_EQ(received.header("Content-Length"), "7");
    EXPECT_EQ(received.headerCount("Expect"), 0);

    // Bytes win over text, NUL and high bytes included; a large body gets no "Expect".
    FetchRequest bytes;
    bytes.url = server.url("/form");
    bytes.method = FetchMethod::Post;
    bytes.postText = "ignored";
    bytes.postBytes = std::string("\x00\xff\xd6\xd0", 4) + std::string(200000, 'z');
    EXPECT_EQ(fetcher.fetch(bytes), "done");
    received = server.lastRequest();
    EXPECT_EQ(received.body, bytes.postBytes);
    EXPECT_EQ(received.headerCount("Expect"), 0);

    FetchRequest head;
    head.url = server.url("/form");
    head.method = FetchMethod::Head;
    EXPECT_EQ(fetcher.fetch(head), "");
    EXPECT_EQ(server.lastRequest().requestLine, "HEAD /form HTTP/1.1");
    EXPECT_EQ(head.headersOut,
              "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n"
              "Content-Length: 4\r\n\r\n");

    FetchRequest headWithBody;
    headWithBody.url = server.url("/form");
    headWithBody.method = FetchMethod::Head;
    headWithBody.postText = "q=1";
    EXPECT_EQ(fetcher.fetch(headWithBody), "");
    received = server.lastRequest();
    EXPECT_EQ(received.requestLine, "HEAD /form HTTP/1.1");
    EXPECT_EQ(received.body, "");
    EXPECT_EQ(headWithBody.postBytes, "q=1");
    EXPECT_EQ(headWithBody.headersOut.substr(0, 17), "HTTP/1.1 200 OK\r\n");

    for (int method : {-1, 3, 5}) {
        FetchRequest odd;
        odd.url = server.url("/form");
        odd.method = static_cast<FetchMethod>(method);
        odd.postText = "x";
        EXPECT_EQ(fetcher.fetch(odd), "done");
        EXPECT_EQ(server.lastRequest().requestLine, "GET /form HTTP/1.1");
        EXPECT_EQ(server.lastRequest().body, "");
    }
}

TEST_F(CurlPageFetcherTest, BodyComesBackByteForByte) {
    const std::string body = std::string("head\0mid\0", 9) + "\xe4\xb8" + std::string(5000, '\0');
    server.page("/bin", body, "application/octet-stream");
    EXPECT_EQ(planFetch(server.url("/bin"), ""), body);

    // An error status is not a failure: the error page comes back.
    EXPECT_EQ(planFetch(server.url("/missing"), ""), "not found");
}

TEST_F(CurlPageFetcherTest, CookieLinesFromTheResponse) {
    server.route("/login", [](const ReceivedRequest&) {
        return withHeaders({"set-cookie: sid=abc; path=/; HttpOnly", "Set-Cookie: theme=red",
                            "SET-COOKIE:   lang=zh ;expires=Thu, 01 Jan 2099 00:00:00 GMT",
                            "Set-Cookie: bare"});
    });
    FetchRequest request;
    request.url = server.url("/login");
    request.cookie = "old=1; sid=zzz";
    fetcher.fetch(request);
    EXPECT_NE(request.headersOut.find("\r\nSet-Cookie: sid=abc; path=/; HttpOnly\r\n"),
              std::string::npos);
    EXPECT_NE(request.headersOut.find("\r\nSet-Cookie:   lang=zh ;expires"), std::string::npos);
    EXPECT_EQ(request.cookiesOut, "sid=abc; theme=red; lang=zh; bare; old=1");
    EXPECT_EQ(*request.cookie, request.cookiesOut);

    // Left out, the cookie text is not merged: the pairs come in header order.
    FetchRequest omitted;
    omitted.url = server.url("/login");
    fetcher.fetch(omitted);
    EXPECT_EQ(omitted.cookiesOut, "sid=abc; theme=red; lang=zh; bare");
    EXPECT_FALSE(omitted.cookie.has_value());
}

TEST_F(CurlPageFetcherTest, OddSetCookieLines) {
    server.route("/odd", [](const ReceivedRequest&) {
        return withHeaders({"Set-Cookie:", "Set-Cookie : spaced=1; path=/", "Set-Cookie: a=1"});
    });
    FetchRequest request;
    request.url = server.url("/odd");
    fetcher.fetch(request);
    // A line without a value, or with a space before its colon, adds an empty pair.
    EXPECT_EQ(request.cookiesOut, "; ; a=1");

    server.route("/none", [](const ReceivedRequest&) { return withHeaders({}); });
    FetchRequest none;
    none.url = server.url("/none");
    fetcher.fetch(none);
    EXPECT_EQ(none.cookiesOut, "");
}

TEST_F(CurlPageFetcherTest, ResponseCookiesReplaceSuppliedOnesAndDeletedOnesGo) {
    server.route("/c", [](const ReceivedRequest&) {
        return withHeaders({"Set-Cookie: b=3; path=/", "Set-Cookie: gone=deleted"});
    });
    FetchRequest request;
    request.url = server.url("/c");
    request.cookie = "a=1; b=2; gone=5";
    fetcher.fetch(request);
    EXPECT_EQ(request.cookiesOut, "b=3; a=1");
    EXPECT_EQ(*request.cookie, "b=3; a=1");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "a=1; b=2; gone=5");
}

TEST_F(CurlPageFetcherTest, OmittedCookieUsesTheStoreSuppliedCookieBypassesIt) {
    server.route("/set", [](const ReceivedRequest&) {
        return withHeaders({"Set-Cookie: stored=yes; path=/"});
    });
    server.route("/set2", [](const ReceivedRequest&) {
        return withHeaders({"Set-Cookie: private=1; path=/"});
    });
    server.page("/echo", "e");

    storeFetch(server.url("/set"));

    // Left out: the store sends what it kept.
    storeFetch(server.url("/echo"));
    EXPECT_EQ(server.lastRequest().header("Cookie"), "stored=yes");

    // Supplied, even empty: nothing stored is sent, no cookie line at all...
    EXPECT_EQ(planFetch(server.url("/echo"), ""), "e");
    EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0);
    // ...and nothing received is kept.
    EXPECT_EQ(planFetch(server.url("/set2"), ""), "ok");
    storeFetch(server.url("/echo"));
    EXPECT_EQ(server.lastRequest().header("Cookie"), "stored=yes");

    // Another fetcher has a store of its own.
    CurlPageFetcher other(quickOptions());
    FetchRequest fresh;
    fresh.url = server.url("/echo");
    other.fetch(fresh);
    EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0);
}

TEST_F(CurlPageFetcherTest, RedirectsAreFollowedUnlessRefused) {
    server.redirect("/old", "/new");
    server.route("/new", [](const ReceivedRequest&) {
        return withHeaders({"Content-Type: text/plain", "Set-Cookie: final=1"}, "new page");
    });
    FetchRequest followed;
    followed.url = server.url("/old");
    followed.cookie = "";
    EXPECT_EQ(fetcher.fetch(followed), "new page");
    EXPECT_EQ(followed.headersOut.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(followed.cookiesOut, "final=1");
    ASSERT_EQ(server.requestCount(), 2u);
    EXPECT_EQ(server.lastRequest().requestLine, "GET /new HTTP/1.1");
    // The redirected request carries the same block.
    EXPECT_EQ(server.lastRequest().header("Referer"), followed.url);

    FetchRequest refused;
    refused.url = server.url("/old");
    refused.noRedirect = true;
    EXPECT_EQ(fetcher.fetch(refused), "");
    EXPECT_EQ(refused.headersOut,
              "HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(server.requestCount(), 3u);

    // A loop ends after ten redirects, as a failure.
    server.redirect("/loop", "/loop");
    EXPECT_EQ(storeFetch(server.url("/loop")), "");
    EXPECT_EQ(server.requestCount(), 3u + 11u);
}

TEST_F(CurlPageFetcherTest, CookiesAcrossRedirects) {
    server.page("/landing", "landed");
    server.route("/login", [](const ReceivedRequest&) {
        ServedResponse response;
        response.status = 302;
        response.reason = "Found";
        response.headerLines = {"Set-Cookie: session=s1; path=/", "Location: /landing"};
        return response;
    });
    // The store keeps what a redirect sets and sends it on to the next hop.
    EXPECT_EQ(storeFetch(server.url("/login")), "landed");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "session=s1");

    // A supplied cookie goes along to the same host, but not to another one.
    server.redirect("/same", "/landing");
    server.redirect("/away", "http://localhost:" + std::to_string(server.port()) + "/landing");
    for (const char* path : {"/same", "/away"}) {
        FetchRequest supplied;
        supplied.url = server.url(path);
        supplied.cookie = "mine=1";
        EXPECT_EQ(fetcher.fetch(supplied), "landed");
        EXPECT_EQ(server.lastRequest().headerCount("Cookie"), std::string(path) == "/same" ? 1 : 0)
            << path;
    }
}

TEST_F(CurlPageFetcherTest, PostRedirectedBySeeOtherBecomesGet) {
    server.redirect("/submit", "/result", 303);
    server.page("/result", "thanks");
    FetchRequest post;
    post.url = server.url("/submit");
    post.method = FetchMethod::Post;
    post.postText = "q=1";
    EXPECT_EQ(fetcher.fetch(post), "thanks");
    EXPECT_EQ(server.lastRequest().requestLine, "GET /result HTTP/1.1");
    EXPECT_EQ(server.lastRequest().body, "");
}

TEST_F(CurlPageFetcherTest, AddressPiecesOnTheWire) {
    server.page("/Path/To", "ok");
    // Capitals in scheme and host; the path keeps its case.
    FetchRequest upper;
    upper.url = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/Path/To?Q=A";
    EXPECT_EQ(fetcher.fetch(upper), "ok");
    EXPECT_EQ(server.lastRequest().requestLine, "GET /Path/To?Q=A HTTP/1.1");

    // No scheme: plain HTTP; nothing after the host: "/".
    FetchRequest bare;
    bare.url = server.hostAndPort();
    fetcher.fetch(bare);
    EXPECT_EQ(server.lastRequest().requestLine, "GET / HTTP/1.1");
    EXPECT_EQ(server.lastRequest().header("Host"), server.hostAndPort());

    // GBK bytes go out raw, spaces and controls escaped, the fragment stays home.
    FetchRequest gbkPath;
    gbkPath.url = server.url("/s?kw=\xd6\xd0\xce\xc4 a\tb#top");
    fetcher.fetch(gbkPath);
    EXPECT_EQ(server.lastRequest().requestLine, "GET /s?kw=\xd6\xd0\xce\xc4%20a%09b HTTP/1.1");
    // ...but the Referer is the address as given, minus nothing.
    EXPECT_EQ(gbkPath.headers.find("Referer: " + gbkPath.url), 0u + 13u);
}

TEST_F(CurlPageFetcherTest, HostileAddressesFailQuietly) {
    const std::string port = std::to_string(server.port());
    const std::vector<Text> urls = {
        "",
        "http://",
        "https://",
        "http:///path",
        "http://127.0.0.1:abc/",
        "http://127.0.0.1:99999/",
        "http://127.0.0.1:0/",
        "http://127.0.0.1:-80/",
        "http://127.0.0.1:" + port + "x/",
        "http://127.0.0.1:1:" + port + "/",
        "http://127.0.0.1:/",
        "http://127.0 .0.1:" + port + "/",
        "http://\xd6\xd0\xce\xc4.example/",
        "http://user@127.0.0.1:" + port + "/",
        "http://127.0.0.1:" + port + "?q=1",
    };
    for (const Text& url : urls) {
        FetchRequest request;
        request.url = url;
        request.headers = "X-Keep: me";
        request.cookie = "keep=1";
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(fetcher.fetch(request), "") << url;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 1s) << url;
        // Nothing was sent, so nothing changed.
        EXPECT_EQ(request.headers, "X-Keep: me") << url;
        EXPECT_EQ(*request.cookie, "keep=1") << url;
        EXPECT_FALSE(request.outcome.ok()) << url;
    }
    EXPECT_EQ(server.requestCount(), 0u);
    // An address without a host is refused before any connection, with its reason.
    FetchRequest hostless;
    hostless.url = "http://";
    fetcher.fetch(hostless);
    EXPECT_EQ(hostless.outcome.kind(), Status::Kind::Refused);
    EXPECT_EQ(hostless.outcome.reason(), gbk("网址无效：没有可用的主机或端口"));
}

TEST_F(CurlPageFetcherTest, RefusedConnectionFailsWithComposedBlock) {
    server.stop();
    FetchRequest request;
    request.url = server.url("/");
    request.cookie = "a = 1; b=2";
    EXPECT_EQ(fetcher.fetch(request), "");
    EXPECT_EQ(request.outcome.kind(), Status::Kind::Failed);
    EXPECT_EQ(request.outcome.code(), 7);  // CURLE_COULDNT_CONNECT
    EXPECT_EQ(request.headersOut, "");
    EXPECT_NE(request.headers.find("\r\nCookie: a = 1; b=2"), std::string::npos);
    // The supplied jar is merged with nothing, which cleans its spaces.
    EXPECT_EQ(request.cookiesOut, "a=1; b=2");
}

TEST_F(CurlPageFetcherTest, SilentServerIsGivenUp) {
    server.route("/silent", [](const ReceivedRequest&) {
        ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    server.route("/stall", [](const ReceivedRequest&) {
        ServedResponse response;
        response.body = std::string(1000, 'b');
        response.stallAfter = 300;
        return response;
    });
    for (const char* path : {"/silent", "/stall"}) {
        FetchRequest request;
        request.url = server.url(path);
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(fetcher.fetch(request), "") << path;
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_GE(took, 1400ms) << path;
        EXPECT_LT(took, 5s) << path;
        EXPECT_EQ(request.headersOut, "") << path;
        EXPECT_EQ(request.outcome.kind(), Status::Kind::TimedOut) << path;
    }
}

TEST_F(CurlPageFetcherTest, ConnectionThatNeverCompletesIsGivenUp) {
    // A listener that never accepts, its queue filled: further handshakes go unanswered.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }

    FetchOptions options = quickOptions();
    options.connectTimeout = 700ms;
    options.idleTimeout = 60s;
    CurlPageFetcher impatient(options);
    FetchRequest request;
    request.url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(impatient.fetch(request), "");
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 650ms);  // given up by the limit, not refused
    EXPECT_LT(took, 5s);
    EXPECT_EQ(request.outcome.kind(), Status::Kind::TimedOut);

    for (int fd : fillers) ::close(fd);
    ::close(listener);
}

TEST_F(CurlPageFetcherTest, SlowButSteadyBodyIsNotCutOff) {
    // Bytes keep coming, each piece well within the idle limit, for longer than the limit in all.
    server.route("/slow", [](const ReceivedRequest&) {
        ServedResponse response;
        response.body = std::string(10, 's');
        response.pieceBytes = 8;
        response.piecePause = 250ms;
        return response;
    });
    EXPECT_EQ(storeFetch(server.url("/slow")), std::string(10, 's'));
}

TEST_F(CurlPageFetcherTest, BodyOverTheLimitFails) {
    FetchOptions options = quickOptions();
    options.maxBodyBytes = 1000;
    CurlPageFetcher limited(options);
    server.page("/exact", std::string(1000, 'x'));
    server.page("/over", std::string(1001, 'x'));
    server.route("/unannounced", [](const ReceivedRequest&) {
        ServedResponse response;
        response.addContentLength = false;
        response.close = true;
        response.headerLines = {"Connection: close"};
        response.body = std::string(5000, 'y');
        return response;
    });
    for (const char* path : {"/exact", "/over", "/unannounced"}) {
        FetchRequest request;
        request.url = server.url(path);
        EXPECT_EQ(limited.fetch(request).size(), std::string(path) == "/exact" ? 1000u : 0u)
            << path;
    }
}

TEST_F(CurlPageFetcherTest, CancelCutsAFetchShort) {
    server.route("/silent", [](const ReceivedRequest&) {
        ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    FetchOptions patient = quickOptions();
    patient.idleTimeout = 60s;
    CurlPageFetcher slow(patient);

    std::stop_source stopSource;
    Bytes result = "unset";
    std::thread worker([&] {
        FetchRequest request;
        request.url = server.url("/silent");
        result = slow.fetch(request, stopSource.get_token());
    });
    while (server.requestCount() == 0) std::this_thread::sleep_for(10ms);
    const auto started = std::chrono::steady_clock::now();
    stopSource.request_stop();
    worker.join();
    EXPECT_EQ(result, "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);

    // cancelAll() stops fetches under way and refuses later ones.
    std::thread second([&] {
        FetchRequest request;
        request.url = server.url("/silent");
        result = slow.fetch(request);
    });
    while (server.requestCount() == 1) std::this_thread::sleep_for(10ms);
    slow.cancelAll();
    second.join();
    EXPECT_EQ(result, "");
    FetchRequest later;
    later.url = server.url("/silent");
    EXPECT_EQ(slow.fetch(later), "");
    EXPECT_EQ(later.outcome.kind(), Status::Kind::Cancelled);
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(CurlPageFetcherTest, FetchesRunSideBySide) {
    server.page("/a", std::string(100000, 'a'));
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int n = 0; n < 5; ++n) {
                FetchRequest request;
                request.url = server.url("/a");
                if (fetcher.fetch(request).size() == 100000) ++good;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(good.load(), 20);
}

TEST_F(CurlPageFetcherTest, KeptConnectionsServeThreadsTheirOwnPages) {
    // Threads taking turns on kept handles and connections: every fetch gets its own page whole,
    // and the connections stay few.
    for (int i = 0; i < 4; ++i) server.page("/p" + std::to_string(i), std::string(50000, 'a' + i));
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            for (int n = 0; n < 10; ++n) {
                const Bytes body =
                    planFetch(server.url("/p" + std::to_string(i)), "t=" + std::to_string(i));
                if (body == std::string(50000, 'a' + i)) ++good;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(good.load(), 40);
    EXPECT_LE(server.connectionCount(), 8u);
    for (const ReceivedRequest& request : server.requests())
        EXPECT_EQ(request.header("Cookie"), "t=" + request.path().substr(2));
}

TEST_F(CurlPageFetcherTest, ConnectionsAreKeptButCarryNoCookieFromOneFetchToTheNext) {
    server.route("/set", [](const ReceivedRequest&) {
        return withHeaders({"Set-Cookie: fromA=1; path=/"}, "set");
    });
    server.page("/echo", "e");

    // Plans with cookies of their own, one after the other on one connection: each request
    // carries its own cookie only, never the one before nor one a response set.
    EXPECT_EQ(planFetch(server.url("/set"), "planA=1"), "set");
    EXPECT_EQ(planFetch(server.url("/echo"), "planB=2"), "e");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "planB=2");
    EXPECT_EQ(planFetch(server.url("/echo"), ""), "e");
    EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0);
    EXPECT_EQ(server.connectionCount(), 1u);

    // The cookie store's fetches keep connections of their own and send only what the store
    // received.
    storeFetch(server.url("/echo"));
    EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0);
    storeFetch(server.url("/set"));
    storeFetch(server.url("/echo"));
    EXPECT_EQ(server.lastRequest().header("Cookie"), "fromA=1");
    EXPECT_EQ(planFetch(server.url("/echo"), "planC=3"), "e");
    EXPECT_EQ(server.lastRequest().header("Cookie"), "planC=3");
    EXPECT_EQ(server.connectionCount(), 2u);
    EXPECT_EQ(server.requestCount(), 7u);
}

TEST_F(CurlPageFetcherTest, ClosedOrCutConnectionsAreNotUsedAgain) {
    server.route("/closing", [](const ReceivedRequest&) {
        ServedResponse response = withHeaders({}, "closing");
        response.close = true;
        return response;
    });
    server.route("/stalled", [](const ReceivedRequest&) {
        ServedResponse response = withHeaders({}, "stale bytes that never all arrive");
        response.stallAfter = 60;  // the header and part of the body
        return response;
    });
    server.page("/fresh", "fresh");

    // A connection the server closed after its answer: the next fetch opens another.
    EXPECT_EQ(planFetch(server.url("/closing"), ""), "closing");
    EXPECT_EQ(planFetch(server.url("/fresh"), ""), "fresh");
    EXPECT_EQ(server.connectionCount(), 2u);

    // A fetch stopped half-way: none of its bytes reach the next fetch, which has a connection
    // of its own.
    std::stop_source stopSource;
    Bytes result = "unset";
    std::thread worker([&] {
        FetchRequest request;
        request.url = server.url("/stalled");
        request.cookie = "";
        result = fetcher.fetch(request, stopSource.get_token());
    });
    while (server.requestCount() < 3) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(100ms);
    stopSource.request_stop();
    worker.join();
    EXPECT_EQ(result, "");
    EXPECT_EQ(planFetch(server.url("/fresh"), ""), "fresh");
    EXPECT_EQ(planFetch(server.url("/fresh"), ""), "fresh");
    EXPECT_EQ(server.connectionCount(), 3u);
}

TEST_F(CurlPageFetcherTest, AnnouncedLengthsInAnySpellingGiveTheBodyAsSent) {
    const std::string body(70000, 'x');
    server.route("/lower", [&](const ReceivedRequest&) {
        ServedResponse response = withHeaders({"content-LENGTH:  70000 "}, body);
        return response;
    });
    server.route("/chunked", [&](const ReceivedRequest&) {
        ServedResponse response =
            withHeaders({"Transfer-Encoding: chunked"}, "5\r\nhello\r\n0\r\n\r\n");
        return response;
    });
    EXPECT_EQ(planFetch(server.url("/lower"), ""), body);
    EXPECT_EQ(planFetch(server.url("/chunked"), ""), "hello");

    // An announced length over the limit still fails without taking room for it.
    FetchOptions small = quickOptions();
    small.maxBodyBytes = 1000;
    CurlPageFetcher limited(small);
    FetchRequest request;
    request.url = server.url("/lower");
    EXPECT_EQ(limited.fetch(request), "");
    EXPECT_FALSE(request.outcome.ok());
}

TEST_F(CurlPageFetcherTest, PlainAddressesGoThroughTheProxy) {
    // The test server answers absolute-form requests by their path, so it can stand in for a
    // proxy.
    server.page("/via", "proxied");
    FetchRequest request;
    request.url = "http://board.example.invalid/via?x=1";
    request.proxy = server.hostAndPort();
    EXPECT_EQ(fetcher.fetch(request), "proxied");
    const ReceivedRequest received = server.lastRequest();
    EXPECT_EQ(received.requestLine, "GET http://board.example.invalid/via?x=1 HTTP/1.1");
    EXPECT_EQ(received.header("Host"), "board.example.invalid");
    EXPECT_EQ(received.header("Referer"), request.url);
    EXPECT_EQ(received.headerCount("Proxy-Connection"), 0);
    EXPECT_EQ(received.headers.size(), 6u);
}

TEST_F(CurlPageFetcherTest, SecureAddressesTunnelThroughTheProxy) {
    server.route("board.example.invalid:443", [](const ReceivedRequest&) {
        ServedResponse refused;
        refused.status = 403;
        refused.reason = "Forbidden";
        return refused;
    });
    FetchRequest request;
    request.url = "https://board.example.invalid/secret";
    request.cookie = "sid=1";
    request.proxy = server.hostAndPort();
    EXPECT_EQ(fetcher.fetch(request), "");
    const ReceivedRequest received = server.lastRequest();
    EXPECT_EQ(received.requestLine, "CONNECT board.example.invalid:443 HTTP/1.1");
    // The page's own lines, its cookie above all, are not shown to the proxy.
    EXPECT_EQ(received.headerCount("Cookie"), 0);
    EXPECT_EQ(received.headerCount("Referer"), 0);
}

class PageFetcherTlsTest : public ::testing::Test {
protected:
    TestCertificate certificate;
    LocalHttpServer server{certificate};

    FetchOptions trusting() {
        FetchOptions options = quickOptions();
        options.caFile = certificate.caFile();
        return options;
    }
};

TEST_F(PageFetcherTlsTest, TrustedCertificateServesThePage) {
    server.page("/secure", "secret");
    CurlPageFetcher fetcher(trusting());
    FetchRequest request;
    request.url = "HTTPS://127.0.0.1:" + std::to_string(server.port()) + "/secure";
    request.cookie = "";
    EXPECT_EQ(fetcher.fetch(request), "secret");
    EXPECT_EQ(server.lastRequest().requestLine, "GET /secure HTTP/1.1");
}

TEST_F(PageFetcherTlsTest, UntrustedCertificateFails) {
    server.page("/secure", "secret");
    TestCertificate stranger;
    FetchOptions options = quickOptions();
    options.caFile = stranger.caFile();
    CurlPageFetcher fetcher(options);
    FetchRequest request;
    request.url = server.url("/secure");
    EXPECT_EQ(fetcher.fetch(request), "");
    EXPECT_EQ(request.headersOut, "");
    EXPECT_EQ(server.requestCount(), 0u);

    // The system's authorities do not know the test authority either.
    CurlPageFetcher system(quickOptions());
    EXPECT_EQ(system.fetch(request), "");
}

TEST_F(PageFetcherTlsTest, PlainAddressRedirectedToSecureIsFollowed) {
    LocalHttpServer plain;
    plain.redirect("/go", server.url("/secure"), 301);
    server.page("/secure", "secret");
    CurlPageFetcher fetcher(trusting());
    FetchRequest request;
    request.url = plain.url("/go");
    EXPECT_EQ(fetcher.fetch(request), "secret");
    EXPECT_EQ(server.requestCount(), 1u);
}

}  // namespace
}  // namespace lumo
