#include "suggest/HtmlText.h"

#include <libxml/uri.h>
#include <libxml/xmlmemory.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// UTF-8 of one code point, for the converter.
Bytes utf8Of(unsigned long code) {
    Bytes out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// The decoded reference that starts at `at` ('&') and ends at `semicolon`, or nothing.
bool decodeReference(std::string_view name, Text& out) {
    struct Named {
        std::string_view name;
        const char* text;
    };
    static constexpr std::array<Named, 6> kNamed = {Named{"amp", "&"},  Named{"lt", "<"},
                                                    Named{"gt", ">"},   Named{"quot", "\""},
                                                    Named{"apos", "'"}, Named{"nbsp", " "}};
    for (const Named& named : kNamed) {
        if (name == named.name) {
            out += named.text;
            return true;
        }
    }
    if (name.size() < 2 || name[0] != '#') return false;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    unsigned long code = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return false;
    for (const char c : digits) {
        int value = -1;
        if (c >= '0' && c <= '9') value = c - '0';
        if (hex && c >= 'a' && c <= 'f') value = c - 'a' + 10;
        if (hex && c >= 'A' && c <= 'F') value = c - 'A' + 10;
        if (value < 0) return false;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(value);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    out += utf8ToGbk(utf8Of(code));
    return true;
}

// A plain join, for references the URI parser refuses (bytes outside ASCII, for one).
Text fallbackJoin(const Text& base, const Text& reference) {
    if (reference.find("://") != Text::npos) return reference;
    const std::size_t hostStart = base.find("://");
    const std::size_t pathStart =
        hostStart == Text::npos ? Text::npos : base.find('/', hostStart + 3);
    const Text origin = pathStart == Text::npos ? base : base.substr(0, pathStart);
    if (!reference.empty() && reference[0] == '/') return origin + reference;
    const Text path = pathStart == Text::npos ? Text("/") : base.substr(pathStart);
    const std::size_t cut = path.find_first_of("?#");
    const Text plainPath = path.substr(0, cut);
    return origin + plainPath.substr(0, plainPath.rfind('/') + 1) + reference;
}

}  // namespace

Text decodeHtmlEntities(const Text& text) {
    if (text.find('&') == Text::npos) return text;
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            const std::size_t semicolon = text.find(';', i + 1);
            if (semicolon != Text::npos && semicolon - i <= 10 &&
                decodeReference(std::string_view(text).substr(i + 1, semicolon - i - 1), out)) {
                i = semicolon + 1;
                continue;
            }
        }
        // A two-byte character is copied whole, so its trail byte is never taken for '&'.
        const bool pair = static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size();
        out.append(text, i, pair ? 2 : 1);
        i += pair ? 2 : 1;
    }
    return out;
}

Text visibleText(const Text& markup) {
    Text plain;
    plain.reserve(markup.size());
    bool pendingSpace = false;
    for (std::size_t i = 0; i < markup.size();) {
        if (markup[i] == '<') {
            const bool comment = markup.compare(i, 4, "<!--") == 0;
            const std::size_t end = comment ? markup.find("-->", i + 4) : markup.find('>', i + 1);
            if (end == Text::npos) break;
            i = end + (comment ? 3 : 1);
            pendingSpace = true;
            continue;
        }
        if (isSpace(markup[i])) {
            pendingSpace = true;
            ++i;
            continue;
        }
        if (pendingSpace && !plain.empty()) plain += ' ';
        pendingSpace = false;
        const bool pair = static_cast<unsigned char>(markup[i]) >= 0x81 && i + 1 < markup.size();
        plain.append(markup, i, pair ? 2 : 1);
        i += pair ? 2 : 1;
    }
    return trimText(decodeHtmlEntities(plain));
}

Text resolveUrl(const Text& base, const Text& reference) {
    Text ref = reference;
    ref.erase(std::remove_if(ref.begin(), ref.end(),
                             [](char c) { return c == '\n' || c == '\r' || c == '\t'; }),
              ref.end());
    ref = trimText(ref);
    xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(ref.c_str()),
                                 reinterpret_cast<const xmlChar*>(base.c_str()));
    if (built == nullptr) return fallbackJoin(base, ref);
    Text resolved(reinterpret_cast<const char*>(built));
    xmlFree(built);
    return resolved;
}

}  // namespace lumo
