#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace lumo::test {

class TestCertificate;

// One request as the server received it.
struct ReceivedRequest {
    std::string raw;          // every byte received: request line, header lines, empty line, body
    std::string requestLine;  // e.g. "GET /board?page=1 HTTP/1.1", without CR LF
    std::string method;
    std::string target;       // as sent: "/board?page=1", or an absolute address through a proxy
    std::string headerBlock;  // the header lines after the request line, each with its CR LF
    std::vector<std::pair<std::string, std::string>> headers;  // name, trimmed value; in order
    std::string body;

    // The target without the query; an absolute address ("http://host/x") gives its path.
    std::string path() const;
    // The value of the first header of this name (ASCII case ignored), or empty.
    std::string header(std::string_view name) const;
    // How many header lines have this name (ASCII case ignored).
    int headerCount(std::string_view name) const;
};

// What the server answers. The status line is "HTTP/1.1 <status> <reason>"; headerLines are
// written as given, each followed by CR LF; "Content-Length" is added unless a header line names
// it or Transfer-Encoding, or addContentLength is false. A HEAD request gets no body.
struct ServedResponse {
    int status = 200;
    std::string reason = "OK";
    std::vector<std::string> headerLines;
    std::string body;
    bool addContentLength = true;
    // Answer nothing and keep the connection open until the server stops.
    bool neverAnswer = false;
    // Send only this many bytes of the whole response, then keep silent until the server stops.
    std::size_t stallAfter = std::string::npos;
    // Send the response in pieces of this many bytes with a pause before each piece but the
    // first (0: all at once).
    std::size_t pieceBytes = 0;
    std::chrono::milliseconds piecePause{0};
    // Close the connection after this response.
    bool close = false;
};

// A small HTTP/1.1 server for tests on 127.0.0.1 with a port the system picks, plain or TLS
// (with the certificate of a TestCertificate). It records the exact bytes of every request, so
// tests can check the request line and the header block byte for byte, and answers with whatever
// the route's handler returns, including malformed or stalled responses. Connections are kept
// alive; each is served by its own thread. An unknown path gets 404.
//
// Routes may be set and requests read from any thread while the server runs. The destructor
// (or stop()) closes every connection, so silent responses never outlive the test.
//
//   LocalHttpServer server;
//   server.page("/board", boardHtml, "text/html; charset=gbk");
//   fetch(server.url("/board")); ... server.lastRequest().header("Cookie") ...
class LocalHttpServer {
public:
    using Handler = std::function<ServedResponse(const ReceivedRequest&)>;

    // A plain HTTP server.
    LocalHttpServer();
    // An HTTPS server presenting `certificate`'s server certificate; `certificate` must outlive
    // the constructor only.
    explicit LocalHttpServer(const TestCertificate& certificate);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Requests whose path (target without query) equals `path` go to `handler`.
    void route(const std::string& path, Handler handler);
    // A fixed page: 200 with this body and Content-Type.
    void page(const std::string& path, std::string body,
              std::string contentType = "text/html; charset=gbk");
    // A redirect to `location` (absolute, or a path on this server).
    void redirect(const std::string& path, std::string location, int status = 302);

    // "http://127.0.0.1:<port><pathAndQuery>" ("https://..." for a TLS server).
    std::string url(std::string_view pathAndQuery = "/") const;
    // "127.0.0.1:<port>".
    std::string hostAndPort() const;
    int port() const { return port_; }

    // Requests received so far, oldest first; lastRequest() is empty when there was none.
    std::vector<ReceivedRequest> requests() const;
    ReceivedRequest lastRequest() const;
    std::size_t requestCount() const;
    // Connections accepted so far (a TLS handshake need not have succeeded).
    std::size_t connectionCount() const;

    // Stops accepting, closes every connection and joins the threads. Idempotent.
    void stop();

private:
    struct Tls;
    struct Connection;

    void start();
    void acceptLoop();
    void serve(std::shared_ptr<Connection> connection);
    ServedResponse answer(const ReceivedRequest& request);
    void waitUntilStopped();
    // Waits this long, or less when the server stops; false when it stopped.
    bool pause(std::chrono::milliseconds duration);

    std::unique_ptr<Tls> tls_;
    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    int port_ = 0;
    std::thread acceptor_;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Handler> routes_;
    std::vector<ReceivedRequest> requests_;
    std::vector<std::shared_ptr<Connection>> connections_;
    std::vector<std::thread> workers_;
};

}  // namespace lumo::test
