#include "suggest/PageEncoding.h"

#include <algorithm>
#include <array>

#include "base/TextOps.h"

namespace lumo {
namespace {

constexpr std::size_t kMetaWindow = 16 * 1024;
constexpr std::size_t kBinaryWindow = 8 * 1024;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The charset value after "charset=" at `at` (just past the '='): up to a quote, a blank, ';' or
// '>'; quotes around it dropped.
Text charsetValueAt(const Text& text, std::size_t at) {
    while (at < text.size() && (text[at] == '"' || text[at] == '\'' || text[at] == ' ')) ++at;
    std::size_t end = at;
    while (end < text.size() && !isSpace(text[end]) &&
           std::string_view("\"';>,/").find(text[end]) == std::string_view::npos) {
        ++end;
    }
    return text.substr(at, std::min<std::size_t>(end - at, 40));
}

}  // namespace

std::optional<bool> PageEncoding::gbkCharset(std::string_view name) {
    const Text lower = lowerText(Text(name));
    static constexpr std::array<std::string_view, 11> kGbk = {
        "gbk",   "gb2312",      "gb_2312-80", "gb18030",  "x-gbk",  "cp936",
        "ms936", "windows-936", "euc-cn",     "csgb2312", "chinese"};
    static constexpr std::array<std::string_view, 3> kUtf8 = {"utf-8", "utf8", "unicode-1-1-utf-8"};
    if (std::find(kGbk.begin(), kGbk.end(), lower) != kGbk.end()) return true;
    if (std::find(kUtf8.begin(), kUtf8.end(), lower) != kUtf8.end()) return false;
    return std::nullopt;
}

Text PageEncoding::charsetOfHeaders(const Text& headerBlock) {
    const Text lower = lowerText(headerBlock);
    const std::size_t line = lower.rfind("content-type:");
    if (line == Text::npos) return Text();
    const std::size_t lineEnd = std::min(lower.find('\n', line), lower.size());
    const std::size_t at = lower.find("charset=", line);
    if (at == Text::npos || at > lineEnd) return Text();
    return charsetValueAt(headerBlock.substr(0, lineEnd), at + 8);
}

Text PageEncoding::charsetOfMeta(const Bytes& body) {
    const Text head = lowerText(body.substr(0, kMetaWindow));
    for (std::size_t meta = head.find("<meta"); meta != Text::npos;
         meta = head.find("<meta", meta + 5)) {
        const std::size_t tagEnd = std::min(head.find('>', meta), head.size());
        const std::size_t at = head.find("charset=", meta);
        if (at != Text::npos && at < tagEnd) return charsetValueAt(head, at + 8);
    }
    return Text();
}

bool PageEncoding::isUtf8(const Bytes& body) {
    const auto* p = reinterpret_cast<const unsigned char*>(body.data());
    const std::size_t n = body.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int trail = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            trail = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            trail = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            trail = 3;
        } else {
            return false;
        }
        if (i + trail >= n) return false;  // cut off at the end
        for (int k = 1; k <= trail; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
        }
        i += trail + 1;
    }
    return true;
}

bool PageEncoding::readsAsGbk(const Bytes& body, const Text& declaredCharset,
                              std::optional<bool> chosen) {
    if (chosen) return *chosen;
    if (const std::optional<bool> declared = gbkCharset(declaredCharset)) return *declared;
    if (const std::optional<bool> meta = gbkCharset(charsetOfMeta(body))) return *meta;
    return !isUtf8(body);
}

bool PageEncoding::looksBinary(const Bytes& body) {
    const std::size_t n = std::min(body.size(), kBinaryWindow);
    std::size_t controls = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c == 0) return true;
        if (c < 0x20 && !isSpace(static_cast<char>(c))) ++controls;
    }
    return controls * 20 > n;  // more than one in twenty
}

bool PageEncoding::isBlank(const Bytes& body) {
    return std::all_of(body.begin(), body.end(), isSpace);
}

}  // namespace lumo
