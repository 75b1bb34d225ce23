#include "base/TextOps.h"

#include <algorithm>
#include <limits>

#include "base/GbkTextSearch.h"

namespace lumo {
namespace {

inline unsigned char byteAt(const Text& text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// Width of the unit that begins at byte i: 2 for a GBK lead byte followed by a trail byte, else 1.
// A lone lead byte at the very end is reported as 0, which ends every scan.
inline std::size_t unitWidth(const Text& text, std::size_t i) {
    if (byteAt(text, i) < 0x80) return 1;
    return i + 1 < text.size() ? 2 : 0;
}

inline unsigned char foldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// 0-based index of the first occurrence at or after byte `from` on a unit boundary, or npos.
std::size_t findFrom(const Text& text, const Text& what, std::size_t from, bool ignoreCase) {
    GbkTextSearch search(text, what, ignoreCase);
    return search.next(from);
}

inline bool isAsciiSpaceAt(const Text& text, std::size_t i) {
    return byteAt(text, i) == 0x20;
}

inline bool isWideSpaceAt(const Text& text, std::size_t i) {
    return i + 1 < text.size() && byteAt(text, i) == 0xA1 && byteAt(text, i + 1) == 0xA1;
}

}  // namespace

int textLength(const Text& text) {
    return static_cast<int>(text.size());
}

int findText(const Text& text, const Text& what, int start, bool ignoreCase) {
    if (start < 1) start = 1;
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) return -1;
    // An empty `what` is found at 1 (not at start) as long as anything remains to scan.
    if (what.empty()) return 1;
    const std::size_t at = findFrom(text, what, from, ignoreCase);
    return at == Text::npos ? -1 : static_cast<int>(at + 1);
}

int findLastText(const Text& text, const Text& what) {
    if (text.empty()) return -1;
    if (what.empty()) return 1;
    int last = -1;
    GbkTextSearch search(text, what, false);
    for (std::size_t at = search.next(); at != Text::npos; at = search.next()) {
        last = static_cast<int>(at + 1);
    }
    return last;
}

Text leftText(const Text& text, int n) {
    if (n <= 0) return Text();
    return text.substr(0, static_cast<std::size_t>(n));
}

Text rightText(const Text& text, int n) {
    if (n <= 0) return Text();
    const auto count = static_cast<std::size_t>(n);
    if (count >= text.size()) return text;
    return text.substr(text.size() - count);
}

Text middleText(const Text& text, int position, int n) {
    if (position < 1 || n <= 0) return Text();
    const auto from = static_cast<std::size_t>(position - 1);
    if (from >= text.size()) return Text();
    return text.substr(from, static_cast<std::size_t>(n));
}

Text trimText(const Text& text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        if (isAsciiSpaceAt(text, begin)) {
            begin += 1;
        } else if (isWideSpaceAt(text, begin)) {
            begin += 2;
        } else {
            break;
        }
    }
    // From the end, a space is removed only where it stands on a unit boundary; finding the
    // boundaries needs a forward scan, so remember where the trailing run of spaces begins.
    std::size_t end = begin;
    std::size_t i = begin;
    while (i < text.size()) {
        std::size_t w;
        if (isAsciiSpaceAt(text, i)) {
            w = 1;
        } else if (isWideSpaceAt(text, i)) {
            w = 2;
        } else {
            w = unitWidth(text, i);
            if (w == 0) w = 1;  // a lone lead byte at the end is content, not space
            end = i + w;
        }
        i += w;
    }
    return text.substr(begin, end - begin);
}

Text removeAllSpaces(const Text& text) {
    Text out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (isAsciiSpaceAt(text, i)) {
            i += 1;
        } else if (isWideSpaceAt(text, i)) {
            i += 2;
        } else {
            std::size_t w = unitWidth(text, i);
            if (w == 0) w = 1;
            out.append(text, i, w);
            i += w;
        }
    }
    return out;
}

Text replaceAllText(const Text& text, const Text& what, const Text& by, bool ignoreCase) {
    if (what.empty() || text.empty()) return text;
    Text out;
    out.reserve(text.size());
    GbkTextSearch search(text, what, ignoreCase);
    std::size_t copied = 0;
    for (std::size_t at = search.next(); at != Text::npos; at = search.next()) {
        out.append(text, copied, at - copied);
        out += by;
        copied = at + what.size();
        search.restartAt(copied);  // a replaced occurrence is never scanned again
    }
    out.append(text, copied, Text::npos);
    return out;
}

TextList splitText(const Text& text, const Text& separator) {
    TextList pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    std::size_t pieceStart = 0;
    GbkTextSearch search(text, separator, false);
    for (std::size_t at = search.next(); at != Text::npos; at = search.next()) {
        pieces.push_back(text.substr(pieceStart, at - pieceStart));
        pieceStart = at + separator.size();
        search.restartAt(pieceStart);
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

Text lowerText(const Text& text) {
    Text out = text;
    std::size_t i = 0;
    while (i < out.size()) {
        const unsigned char c = byteAt(out, i);
        if (c < 0x80) {
            out[i] = static_cast<char>(foldAscii(c));
            i += 1;
        } else {
            i += 2;  // skip the trail byte, whatever it looks like
        }
    }
    return out;
}

std::int64_t integer64OfText(const Text& text) {
    // Fold full-width forms first: 0xA3 xx is the full-width form of ASCII xx - 0x80, and
    // 0xA1 0xA1 is the full-width space.
    Text folded;
    folded.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = byteAt(text, i);
        if (c < 0x80) {
            folded.push_back(static_cast<char>(c));
            i += 1;
        } else if (i + 1 < text.size()) {
            const unsigned char t = byteAt(text, i + 1);
            if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) {
                folded.push_back(static_cast<char>(t - 0x80));
            } else if (c == 0xA1 && t == 0xA1) {
                folded.push_back(' ');
            } else {
                folded.append(text, i, 2);
            }
            i += 2;
        } else {
            folded.push_back(static_cast<char>(c));
            i += 1;
        }
    }
    std::size_t p = 0;
    while (p < folded.size() && folded[p] == ' ') ++p;
    bool negative = false;
    if (p < folded.size() && (folded[p] == '-' || folded[p] == '+')) {
        negative = folded[p] == '-';
        ++p;
    }
    // The magnitude, held back at one past the largest value so that both limits are reachable.
    constexpr std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    std::uint64_t value = 0;
    while (p < folded.size() && folded[p] >= '0' && folded[p] <= '9') {
        const std::uint64_t digit = static_cast<std::uint64_t>(folded[p] - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
        ++p;
    }
    if (negative) {
        return value >= limit ? std::numeric_limits<std::int64_t>::min()
                              : -static_cast<std::int64_t>(value);
    }
    return value >= limit ? std::numeric_limits<std::int64_t>::max()
                          : static_cast<std::int64_t>(value);
}

std::int32_t integerOfText(const Text& text) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(integer64OfText(text), std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

Text textOfInteger(long long value) {
    return std::to_string(value);
}

Text textOfBytes(const Bytes& bytes) {
    const std::size_t nul = bytes.find('\0');
    return nul == Bytes::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace lumo
