#include "support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <stdexcept>

#include "support/TestCertificate.h"

namespace lumo::test {
namespace {

constexpr std::size_t kMaxHeaderBytes = 1 << 20;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string trimmed(std::string_view s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::string_view reasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 404:
            return "Not Found";
        default:
            return "Status";
    }
}

}  // namespace

std::string ReceivedRequest::path() const {
    std::string_view t = target;
    if (std::size_t scheme = t.find("://"); scheme != std::string_view::npos && t[0] != '/') {
        std::size_t slash = t.find('/', scheme + 3);
        t = slash == std::string_view::npos ? std::string_view("/") : t.substr(slash);
    }
    return std::string(t.substr(0, t.find('?')));
}

std::string ReceivedRequest::header(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (equalsIgnoringCase(n, name)) return v;
    return {};
}

int ReceivedRequest::headerCount(std::string_view name) const {
    return static_cast<int>(std::count_if(headers.begin(), headers.end(), [&](const auto& h) {
        return equalsIgnoringCase(h.first, name);
    }));
}

struct LocalHttpServer::Tls {
    SSL_CTX* context = nullptr;
    ~Tls() { SSL_CTX_free(context); }
};

struct LocalHttpServer::Connection {
    int fd = -1;
    SSL* ssl = nullptr;
    bool open = true;  // guarded by the server's mutex

    // Some bytes, or 0 at the end of the stream or on an error.
    std::size_t read(char* buffer, std::size_t size) {
        if (ssl) {
            int n = SSL_read(ssl, buffer, static_cast<int>(size));
            return n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        ssize_t n = ::recv(fd, buffer, size, 0);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    bool write(std::string_view data) {
        while (!data.empty()) {
            long n = ssl ? SSL_write(ssl, data.data(), static_cast<int>(data.size()))
                         : ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            data.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
};

LocalHttpServer::LocalHttpServer() {
    start();
}

LocalHttpServer::LocalHttpServer(const TestCertificate& certificate) : tls_(new Tls) {
    tls_->context = SSL_CTX_new(TLS_server_method());
    if (!tls_->context) throw std::runtime_error("SSL_CTX_new failed");
    auto loadPem = [](const std::string& pem) {
        return BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    };
    BIO* certBio = loadPem(certificate.serverCertificatePem());
    X509* cert = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
    BIO_free(certBio);
    BIO* keyBio = loadPem(certificate.serverKeyPem());
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
    BIO_free(keyBio);
    bool ok = cert && key && SSL_CTX_use_certificate(tls_->context, cert) == 1 &&
              SSL_CTX_use_PrivateKey(tls_->context, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    if (!ok) throw std::runtime_error("cannot load the test certificate");
    start();
}

LocalHttpServer::~LocalHttpServer() {
    stop();
}

void LocalHttpServer::start() {
    // A client that hangs up while we write must not kill the test process.
    std::signal(SIGPIPE, SIG_IGN);
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    if (::pipe2(wakePipe_, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    acceptor_ = std::thread([this] { acceptLoop(); });
}

void LocalHttpServer::stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
        for (auto& c : connections_)
            if (c->open) ::shutdown(c->fd, SHUT_RDWR);
    }
    stopped_.notify_all();
    char wake = 1;
    [[maybe_unused]] ssize_t ignored = ::write(wakePipe_[1], &wake, 1);
    if (acceptor_.joinable()) acceptor_.join();
    for (auto& worker : workers_)
        if (worker.joinable()) worker.join();
    ::close(listenFd_);
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
}

void LocalHttpServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        auto connection = std::make_shared<Connection>();
        connection->fd = fd;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        connections_.push_back(connection);
        workers_.emplace_back([this, connection] { serve(connection); });
    }
}

void LocalHttpServer::serve(std::shared_ptr<Connection> connection) {
    auto finish = [&] {
        std::lock_guard lock(mutex_);
        if (connection->ssl) SSL_free(connection->ssl);
        ::close(connection->fd);
        connection->open = false;
    };
    if (tls_) {
        connection->ssl = SSL_new(tls_->context);
        SSL_set_fd(connection->ssl, connection->fd);
        if (SSL_accept(connection->ssl) != 1) {
            ERR_clear_error();
            finish();
            return;
        }
    }
    std::string buffer;
    char chunk[16384];
    for (;;) {
        // The request line and header block.
        std::size_t end;
        while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
            if (buffer.size() > kMaxHeaderBytes) return finish();
            std::size_t n = connection->read(chunk, sizeof chunk);
            if (n == 0) return finish();
            buffer.append(chunk, n);
        }
        ReceivedRequest request;
        std::string head = buffer.substr(0, end + 4);
        std::size_t lineEnd = head.find("\r\n");
        request.requestLine = head.substr(0, lineEnd);
        request.headerBlock = head.substr(lineEnd + 2, head.size() - lineEnd - 4);
        std::size_t space1 = request.requestLine.find(' ');
        std::size_t space2 = request.requestLine.rfind(' ');
        request.method = request.requestLine.substr(0, space1);
        if (space1 != std::string::npos && space2 > space1)
            request.target = request.requestLine.substr(space1 + 1, space2 - space1 - 1);
        for (std::size_t at = 0; at < request.headerBlock.size();) {
            std::size_t next = request.headerBlock.find("\r\n", at);
            std::string_view line(request.headerBlock.data() + at, next - at);
            std::size_t colon = line.find(':');
            request.headers.emplace_back(
                std::string(line.substr(0, colon)),
                colon == std::string_view::npos ? std::string() : trimmed(line.substr(colon + 1)));
            at = next + 2;
        }
        std::size_t bodyLength = 0;
        for (char c : request.header("Content-Length")) {
            if (c < '0' || c > '9' || bodyLength > kMaxHeaderBytes * 1024) return finish();
            bodyLength = bodyLength * 10 + static_cast<std::size_t>(c - '0');
        }
        buffer.erase(0, end + 4);
        while (buffer.size() < bodyLength) {
            std::size_t n = connection->read(chunk, sizeof chunk);
            if (n == 0) return finish();
            buffer.append(chunk, n);
        }
        request.body = buffer.substr(0, bodyLength);
        buffer.erase(0, bodyLength);
        request.raw = head + request.body;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }

        ServedResponse response = answer(request);
        if (response.neverAnswer) {
            waitUntilStopped();
            return finish();
        }
        std::string out =
            "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
        bool hasLength = !response.addContentLength;
        for (const std::string& line : response.headerLines) {
            out += line + "\r\n";
            std::string name = trimmed(line.substr(0, line.find(':')));
            if (equalsIgnoringCase(name, "Content-Length") ||
                equalsIgnoringCase(name, "Transfer-Encoding"))
                hasLength = true;
        }
        if (!hasLength) out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
        out += "\r\n";
        if (request.method != "HEAD") out += response.body;
        if (response.stallAfter < out.size()) {
            connection->write(std::string_view(out).substr(0, response.stallAfter));
            waitUntilStopped();
            return finish();
        }
        bool written = true;
        if (response.pieceBytes > 0) {
            for (std::size_t at = 0; written && at < out.size(); at += response.pieceBytes) {
                if (at > 0 && !pause(response.piecePause)) return finish();
                written = connection->write(std::string_view(out).substr(at, response.pieceBytes));
            }
        } else {
            written = connection->write(out);
        }
        if (!written || response.close || equalsIgnoringCase(request.header("Connection"), "close"))
            return finish();
    }
}

ServedResponse LocalHttpServer::answer(const ReceivedRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        auto found = routes_.find(request.path());
        if (found != routes_.end()) handler = found->second;
    }
    if (handler) return handler(request);
    ServedResponse notFound;
    notFound.status = 404;
    notFound.reason = "Not Found";
    notFound.headerLines = {"Content-Type: text/plain"};
    notFound.body = "not found";
    return notFound;
}

void LocalHttpServer::waitUntilStopped() {
    std::unique_lock lock(mutex_);
    stopped_.wait(lock, [this] { return stopping_; });
}

bool LocalHttpServer::pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, duration, [this] { return stopping_; });
}

void LocalHttpServer::route(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

void LocalHttpServer::page(const std::string& path, std::string body, std::string contentType) {
    route(path,
          [body = std::move(body), contentType = std::move(contentType)](const ReceivedRequest&) {
              ServedResponse response;
              response.headerLines = {"Content-Type: " + contentType};
              response.body = body;
              return response;
          });
}

void LocalHttpServer::redirect(const std::string& path, std::string location, int status) {
    route(path, [location = std::move(location), status](const ReceivedRequest&) {
        ServedResponse response;
        response.status = status;
        response.reason = std::string(reasonOf(status));
        response.headerLines = {"Location: " + location};
        return response;
    });
}

std::string LocalHttpServer::url(std::string_view pathAndQuery) const {
    return std::string(tls_ ? "https://" : "http://") + hostAndPort() + std::string(pathAndQuery);
}

std::string LocalHttpServer::hostAndPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::vector<ReceivedRequest> LocalHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

ReceivedRequest LocalHttpServer::lastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? ReceivedRequest{} : requests_.back();
}

std::size_t LocalHttpServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

std::size_t LocalHttpServer::connectionCount() const {
    std::lock_guard lock(mutex_);
    return connections_.size();
}

}  // namespace lumo::test
