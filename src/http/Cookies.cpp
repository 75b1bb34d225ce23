#include "http/Cookies.h"

#include "base/TextOps.h"

namespace lumo {
namespace {

const Text kDeletedSuffix = "=deleted";
const Text kCookieSeparator = "; ";

}  // namespace

Text cookieName(const Text& item) {
    const int p = findText(item, "=");
    return trimText(p > 0 ? leftText(item, p - 1) : item);
}

bool hasCookieName(const TextList& items, const Text& name) {
    for (const Text& item : items) {
        if (cookieName(item) == name) return true;
    }
    return false;
}

Text uniqueJoin(const Text& text, const Text& separator) {
    TextList taken;
    for (const Text& piece : splitText(text, separator)) {
        bool seen = false;
        for (const Text& t : taken) {
            if (t == piece) {
                seen = true;
                break;
            }
        }
        if (!seen) taken.push_back(piece);
    }
    Text out;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        if (i > 0) out += separator;
        out += taken[i];
    }
    return out;
}

Text mergeCookies(Text& old, const Text& fresh) {
    // `fresh` is read before `old` changes, in case both name the same text.
    TextList items = splitText(removeAllSpaces(fresh), ";");
    old = removeAllSpaces(old);
    const TextList oldItems = splitText(old, ";");
    // Old cookies the response does not mention follow the new ones. `items` grows as this runs,
    // so of two old items with the same name only the first is kept.
    for (const Text& item : oldItems) {
        if (!hasCookieName(items, cookieName(item))) items.push_back(item);
    }
    Text result;
    for (const Text& item : items) {
        if (rightText(item, textLength(kDeletedSuffix)) == kDeletedSuffix) continue;
        result += item;
        result += kCookieSeparator;
    }
    result = leftText(result, textLength(result) - 2);
    result = uniqueJoin(result, kCookieSeparator);
    old = result;
    return result;
}

}  // namespace lumo
