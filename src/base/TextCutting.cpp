#include "base/TextCutting.h"

#include "base/TextOps.h"

namespace lumo {
namespace {

// "#引号" in GBK: the placeholder a plan writes for a double quote inside a marker.
const Text kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

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

Cut whyCutIsEmpty(const Text& text, const Text& left, const Text& right) {
    if (text.empty()) return Cut::NoText;
    const Text leftMarker = withQuotes(left);
    const Text rightMarker = withQuotes(right);
    const int p = findText(text, leftMarker);
    if (p < 0) return Cut::NoLeft;
    if (rightMarker.empty()) return Cut::EmptyRight;
    const int q = findText(text, rightMarker, p + textLength(leftMarker));
    if (q < 0) return Cut::NoRight;
    return q == p + textLength(leftMarker) ? Cut::NothingBetween : Cut::Some;
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

}  // namespace lumo
