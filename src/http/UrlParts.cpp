#include "http/UrlParts.h"

#include "base/TextCutting.h"
#include "base/TextOps.h"

namespace lumo {
namespace {

// Position just past the scheme of a lower-cased address, or 1 when it has none. "http://" counts
// as the scheme only where it is the address's first "/" (leading spaces may precede it), so an
// address without a scheme whose query holds "http://" keeps its own host.
int hostStart(const Text& lower) {
    if (leftText(lower, 8) == "https://") return 9;
    const int p = findText(lower, "http://");
    if (p > 0 && findText(lower, "/") == p + 5) return p + 7;
    return 1;
}

bool isHostByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

}  // namespace

bool isSecureUrl(const Text& url) {
    return lowerText(leftText(url, 8)) == "https://";
}

Text urlHost(const Text& url, bool keepPort) {
    Text u = lowerText(url);
    if (rightText(u, 1) != "/") u += "/";
    Text h;
    if (leftText(u, 8) == "https://") {
        h = textBetween(u, "https://", "/");
    } else {
        if (hostStart(u) == 1) u = "http://" + u;
        h = textBetween(u, "http://", "/");
    }
    if (keepPort) return h;
    const int colon = findText(h, ":");
    return colon > 0 ? leftText(h, colon - 1) : h;
}

int urlPort(const Text& url) {
    const Text h = urlHost(url, true);
    const int colon = findLastText(h, ":");
    if (colon > 0) return integerOfText(middleText(h, colon + 1, textLength(h)));
    return isSecureUrl(url) ? 443 : 80;
}

Text urlPath(const Text& url) {
    const Text h = urlHost(url, false);
    // The host is looked for after the scheme, so that a host such as "t" is not found inside
    // "http://" itself.
    const int a = findText(url, h, hostStart(lowerText(url)), true);
    const int b = findText(url, "/", a < 0 ? 1 : a);
    if (b < 0) return "/";
    return middleText(url, b, textLength(url));
}

std::string wireAddress(const Text& url) {
    const bool secure = isSecureUrl(url);
    const Text host = urlHost(url, false);
    if (host.empty() || host.size() > 253) return {};
    for (unsigned char c : host)
        if (!isHostByte(c)) return {};
    const Text hostAndPort = urlHost(url, true);
    if (hostAndPort.size() > host.size()) {
        // Only "host:digits", with a port in 1..65535.
        const Text digits = hostAndPort.substr(host.size() + 1);
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != Text::npos)
            return {};
    }
    const int port = urlPort(url);
    if (port < 1 || port > 65535) return {};

    static const char hex[] = "0123456789ABCDEF";
    std::string target;
    for (unsigned char c : urlPath(url)) {
        if (c == '#') break;
        if (c <= 0x20 || c == 0x7F) {
            target += '%';
            target += hex[c >> 4];
            target += hex[c & 0x0F];
        } else {
            target += static_cast<char>(c);
        }
    }
    return std::string(secure ? "https://" : "http://") + host + ":" + std::to_string(port) +
           target;
}

}  // namespace lumo
