#include "articles/WebLink.h"

#include "base/TextOps.h"

namespace lumo {
namespace {

bool isBlankOrControl(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F;
}

bool isControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

// The link without blanks and control characters at either end. Steps over two-byte GBK
// characters, so the full-width space (0xA1 0xA1) is recognised only as a whole character and a
// trail byte is never mistaken for a blank.
Text trimmedLink(const Text& link) {
    std::size_t first = Text::npos;
    std::size_t end = 0;
    std::size_t pos = 0;
    while (pos < link.size()) {
        const auto byte = static_cast<unsigned char>(link[pos]);
        const std::size_t length = (byte >= 0x80 && pos + 1 < link.size()) ? 2 : 1;
        const bool blank =
            length == 1 ? isBlankOrControl(byte)
                        : (byte == 0xA1 && static_cast<unsigned char>(link[pos + 1]) == 0xA1);
        if (!blank) {
            if (first == Text::npos) first = pos;
            end = pos + length;
        }
        pos += length;
    }
    return first == Text::npos ? Text() : link.substr(first, end - first);
}

// Length of the "http://" or "https://" at the start (any case), or 0.
std::size_t webSchemeLength(const Text& link) {
    for (const char* scheme : {"http://", "https://"}) {
        const Text start = lowerText(leftText(link, textLength(scheme)));
        if (start == scheme) return start.size();
    }
    return 0;
}

}  // namespace

std::optional<Text> webLinkToOpen(const Text& link) {
    const Text trimmed = trimmedLink(link);
    const std::size_t scheme = webSchemeLength(trimmed);
    if (scheme == 0 || scheme >= trimmed.size()) return std::nullopt;
    const char hostStart = trimmed[scheme];
    if (hostStart == '/' || hostStart == '\\' || hostStart == '?' || hostStart == '#' ||
        hostStart == ' ') {
        return std::nullopt;
    }
    for (const char byte : trimmed) {
        if (isControl(static_cast<unsigned char>(byte))) return std::nullopt;
    }
    return trimmed;
}

}  // namespace lumo
