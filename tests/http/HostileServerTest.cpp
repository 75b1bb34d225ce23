// Servers that would hold a fetch forever: a drip of single bytes, header lines without end and a
// body without end. Each fetch ends within its limits, empty, and says why.
#include <gtest/gtest.h>

#include <chrono>

#include "curl/CurlPageFetcher.h"
#include "support/LocalHttpServer.h"

namespace lumo {
namespace {

using namespace std::chrono_literals;
using test::LocalHttpServer;
using test::ReceivedRequest;
using test::ServedResponse;
using Clock = std::chrono::steady_clock;

FetchOptions shortLimits() {
    FetchOptions options;
    options.connectTimeout = 2s;
    options.idleTimeout = 5s;
    options.totalTimeout = 2500ms;
    options.minBytesPerSecond = 100;
    options.lowSpeedTime = 1s;
    return options;
}

// Fetches `path`; expects an empty result with a reason, within `within`.
void expectCutShort(LocalHttpServer& server, const FetchOptions& options, const char* path,
                    Clock::duration within) {
    CurlPageFetcher fetcher(options);
    FetchRequest request;
    request.url = server.url(path);
    const auto started = Clock::now();
    EXPECT_TRUE(fetcher.fetch(request).empty()) << path;
    EXPECT_LT(Clock::now() - started, within) << path;
    EXPECT_FALSE(request.outcome.ok()) << path;
}

TEST(HostileServerTest, ADripOfBytesFailsOnTheMinimumRate) {
    LocalHttpServer server;
    server.route("/drip", [](const ReceivedRequest&) {
        ServedResponse response;
        response.body = std::string(1000, 'd');
        response.pieceBytes = 1;
        response.piecePause = 200ms;  // every byte arrives well inside the idle limit
        return response;
    });
    FetchOptions options = shortLimits();
    options.totalTimeout = 60s;  // only the rate may end it
    expectCutShort(server, options, "/drip", 10s);
}

TEST(HostileServerTest, EndlessHeaderLinesFailOnTheTotalTimeOrTheHeaderSize) {
    LocalHttpServer server;
    server.route("/headers", [](const ReceivedRequest&) {
        ServedResponse response;
        for (int i = 0; i < 200000; ++i) response.headerLines.push_back("X-Pad: padding");
        response.pieceBytes = 256;
        response.piecePause = 1ms;
        return response;
    });
    expectCutShort(server, shortLimits(), "/headers", 10s);
    FetchOptions small = shortLimits();
    small.totalTimeout = 60s;
    small.maxHeaderBytes = 4096;
    expectCutShort(server, small, "/headers", 10s);
}

TEST(HostileServerTest, ABodyWithoutEndFailsOnTheTotalTime) {
    LocalHttpServer server;
    server.route("/endless", [](const ReceivedRequest&) {
        ServedResponse response;
        response.body = std::string(std::size_t{64} << 20, 'b');
        response.pieceBytes = 4096;
        response.piecePause = 1ms;
        return response;
    });
    expectCutShort(server, shortLimits(), "/endless", 10s);
}

}  // namespace
}  // namespace lumo
