#include "web/TextHelpers.h"

#include "app/TextOps.h"

namespace lumo {
namespace {

// "#引号" in GBK: the placeholder a plan writes for a double quote inside a marker.
const Text kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

const Text kDeletedSuffix = "=deleted";
const Text kCookieSeparator = "; ";

Text withQuotes(const Text& marker) {
    return replaceAllText(marker, kQuotePlaceholder, "\"");
}

}  // namespace

Text textBetween(const Text& text, const Text& left, const Text& right) {
    const Text leftMarker = withQuotes(left);
    const Text rightMarker = withQuotes(right);
    int p = findText(text, leftMarker);
    if (p < 0) return Text();
    p += textLength(leftMarker);
    const int q = findText(text, rightMarker, p);
    if (q < 0) return Text();
    // An empty right marker is "found" at 1, before p: nothing lies between.
    return middleText(text, p, q - p);
}

int allTextsBetween(const Text& text, const Text& left, const Text& right, TextList& list) {
    list.clear();
    // An empty marker would be found at every position and the scan would never advance.
    if (left.empty() || right.empty()) return 0;
    int c = 1;
    for (;;) {
        const int p = findText(text, left, c, true);
        if (p < 0) break;
        c = p + textLength(left);
        const int q = findText(text, right, c, true);
        if (q < 0) break;
        const Text piece = trimText(middleText(text, c, q - c));
        if (!piece.empty()) {
            list.push_back(piece);
            // The next opening marker is looked for from the closing one on.
            c = q;
        }
    }
    return static_cast<int>(list.size());
}

Text escapeSqlText(const Text& text) {
    Text out = replaceAllText(text, "'", "''");
    out = replaceAllText(out, ";", "\xA3\xBB");  // ；
    out = replaceAllText(out, "(", "\xA3\xA8");  // （
    out = replaceAllText(out, ")", "\xA3\xA9");  // ）
    return replaceAllText(out, "\r\n", "");
}

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
