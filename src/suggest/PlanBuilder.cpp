#include "suggest/PlanBuilder.h"

#include <algorithm>
#include <array>
#include <set>

#include "base/TextOps.h"
#include "suggest/HtmlText.h"

namespace lumo {
namespace {

// Marker lengths tried, shortest first.
constexpr std::array<std::size_t, 9> kMarkerSizes = {8, 12, 16, 24, 32, 48, 64, 96, 128};
// How far a marker is widened to begin (end) at a whole tag.
constexpr std::size_t kTagWidening = 120;
// Lines a marker may move away from the list when its own line has no unique text.
constexpr int kMarkerLines = 4;
// Longest shared context taken before the link.
constexpr std::size_t kContextBytes = 64;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}
bool isAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::size_t commonPrefixLength(const std::vector<Text>& texts) {
    std::size_t n = texts.front().size();
    for (const Text& t : texts) {
        std::size_t k = 0;
        while (k < n && k < t.size() && t[k] == texts.front()[k]) ++k;
        n = k;
    }
    return n;
}

std::size_t commonSuffixLength(const std::vector<Text>& texts) {
    std::size_t n = texts.front().size();
    const Text& first = texts.front();
    for (const Text& t : texts) {
        std::size_t k = 0;
        while (k < n && k < t.size() && t[t.size() - 1 - k] == first[first.size() - 1 - k]) ++k;
        n = k;
    }
    return n;
}

// The pattern of a value in quotes `quote` that may be anything.
Text openValue(char quote) {
    if (quote == '"') return "[^\"]*";
    if (quote == '\'') return "[^']*";
    return "[^\\s>]*";
}

Text idGroup(char quote, bool numeric) {
    if (numeric) return "(\\d+)";
    if (quote == '"') return "([^\"]+)";
    if (quote == '\'') return "([^']+)";
    return "([^\\s>]+)";
}

}  // namespace

PlanBuilder::PlanBuilder(const Text& page, const PageAnchors& anchors, const Text& address)
    : page_(page), anchors_(anchors), charStarts_(page.size() + 1, false) {
    base_ = anchors.baseHref().empty() ? address : resolveUrl(address, anchors.baseHref());
    for (std::size_t i = 0; i < page.size();) {
        charStarts_[i] = true;
        i += static_cast<unsigned char>(page[i]) >= 0x80 && i + 1 < page.size() ? 2 : 1;
    }
    charStarts_[page.size()] = true;
}

Text PlanBuilder::literalPattern(const Text& text) {
    static const Text kSpecial = "\\^$.|?*+()[]{}";
    Text out;
    for (std::size_t i = 0; i < text.size();) {
        if (isSpace(text[i])) {
            std::size_t end = i;
            while (end < text.size() && isSpace(text[end])) ++end;
            const bool between =
                i > 0 && end < text.size() && isAlnum(text[i - 1]) && isAlnum(text[end]);
            out += between ? "\\s+" : "\\s*";
            i = end;
            continue;
        }
        if (kSpecial.find(text[i]) != Text::npos) out += '\\';
        out += text[i++];
    }
    return out;
}

Text PlanBuilder::hrefOf(int item) const {
    const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
    const PageAnchors::Attribute& href = a.attributes[static_cast<std::size_t>(a.href)];
    return page_.substr(href.start, href.end - href.start);
}

std::size_t PlanBuilder::unitStart(const ArticleList& list, int item) const {
    const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
    const auto depth = static_cast<std::size_t>(list.containerDepth);
    return depth < a.path.size() ? std::min(anchors_.element(a.path[depth]).start, a.start)
                                 : a.start;
}

std::size_t PlanBuilder::unitEnd(const ArticleList& list, int item) const {
    const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
    const auto depth = static_cast<std::size_t>(list.containerDepth);
    return depth < a.path.size() ? std::max(anchors_.element(a.path[depth]).end, a.end) : a.end;
}

bool PlanBuilder::occursOnce(const Text& marker) const {
    const int first = findText(page_, marker);
    return first > 0 && findText(page_, marker, first + 1) < 0;
}

Text PlanBuilder::markerBefore(std::size_t end) const {
    std::size_t e = std::min(end, page_.size());
    for (int line = 0; line <= kMarkerLines; ++line) {
        while (e > 0 && isSpace(page_[e - 1])) --e;
        std::size_t lineStart = e;
        while (lineStart > 0 && !isLineBreak(page_[lineStart - 1])) --lineStart;
        for (const std::size_t size : kMarkerSizes) {
            const std::size_t room = e - lineStart;
            std::size_t s = e - std::min(size, room);
            while (s < e && !charStarts_[s]) ++s;
            if (s < e && occursOnce(page_.substr(s, e - s))) {
                const std::size_t tag = page_.rfind('<', s);
                if (tag != Text::npos && tag >= lineStart && s - tag <= kTagWidening) s = tag;
                return page_.substr(s, e - s);
            }
            if (size >= room) break;
        }
        if (lineStart == 0) break;
        e = lineStart;  // the line before
    }
    return Text();
}

Text PlanBuilder::markerAfter(std::size_t start) const {
    std::size_t s = std::min(start, page_.size());
    for (int line = 0; line <= kMarkerLines; ++line) {
        while (s < page_.size() && isSpace(page_[s])) ++s;
        std::size_t lineEnd = s;
        while (lineEnd < page_.size() && !isLineBreak(page_[lineEnd])) ++lineEnd;
        for (const std::size_t size : kMarkerSizes) {
            const std::size_t room = lineEnd - s;
            std::size_t e = s + std::min(size, room);
            while (e > s && !charStarts_[e]) --e;
            if (e > s && occursOnce(page_.substr(s, e - s))) {
                const std::size_t tag = page_.find('>', e - 1);
                if (tag != Text::npos && tag < lineEnd && tag + 1 - e <= kTagWidening &&
                    charStarts_[tag + 1]) {
                    e = tag + 1;
                }
                return page_.substr(s, e - s);
            }
            if (size >= room) break;
        }
        if (lineEnd >= page_.size()) break;
        s = lineEnd;  // the line after
    }
    return Text();
}

std::optional<PlanBuilder::AddressParts> PlanBuilder::addressParts(const ArticleList& list) const {
    std::vector<Text> hrefs;
    for (const int item : list.items) hrefs.push_back(hrefOf(item));
    std::size_t prefix = commonPrefixLength(hrefs);
    std::size_t suffix = commonSuffixLength(hrefs);
    const std::size_t shortest =
        std::min_element(hrefs.begin(), hrefs.end(), [](const Text& a, const Text& b) {
            return a.size() < b.size();
        })->size();
    // The fixed parts end and begin at a separator, so an id that happens to share its first or
    // last digits with the others is taken whole.
    while (prefix > 0 && isAlnum(hrefs.front()[prefix - 1])) --prefix;
    const Text& first = hrefs.front();
    while (suffix > 0 && isAlnum(first[first.size() - suffix])) --suffix;
    if (prefix + suffix >= shortest) return std::nullopt;  // an address without a varying part

    AddressParts parts;
    parts.prefix = first.substr(0, prefix);
    parts.suffix = first.substr(first.size() - suffix);
    parts.numeric = true;
    for (const Text& href : hrefs) {
        const Text middle = href.substr(prefix, href.size() - prefix - suffix);
        const bool digits =
            middle.size() <= 15 &&
            std::all_of(middle.begin(), middle.end(), [](char c) { return c >= '0' && c <= '9'; });
        parts.numeric = parts.numeric && digits;
        if (parts.numeric) parts.ids.push_back(std::stoll(middle));
    }
    return parts;
}

bool PlanBuilder::sameValueEverywhere(const ArticleList& list, std::size_t k) const {
    const PageAnchors::Anchor& first = anchors_.anchors()[static_cast<std::size_t>(list.items[0])];
    const PageAnchors::Attribute& attribute = first.attributes[k];
    for (const int item : list.items) {
        const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
        const auto found =
            std::find_if(a.attributes.begin(), a.attributes.end(),
                         [&](const auto& other) { return other.name == attribute.name; });
        if (found == a.attributes.end() ||
            page_.compare(found->start, found->end - found->start, page_, attribute.start,
                          attribute.end - attribute.start) != 0) {
            return false;
        }
    }
    return true;
}

Text PlanBuilder::startTagPattern(const ArticleList& list, const AddressParts& parts,
                                  TagMatching matching) const {
    const PageAnchors::Anchor& first = anchors_.anchors()[static_cast<std::size_t>(list.items[0])];
    const PageAnchors::Attribute& href = first.attributes[static_cast<std::size_t>(first.href)];
    const Text address = literalPattern(parts.prefix) + idGroup(href.quote, parts.numeric) +
                         literalPattern(parts.suffix);
    const Text quote = href.quote == 0 ? Text() : Text(1, href.quote);
    if (matching != TagMatching::Exact) {
        // The address, and with Shared the attributes every item gives the same value, in the
        // first item's order; whatever else a tag holds is passed over.
        Text pattern = "<a\\s";
        for (std::size_t k = 0; k < first.attributes.size(); ++k) {
            const PageAnchors::Attribute& attribute = first.attributes[k];
            const Text q = attribute.quote == 0 ? Text() : Text(1, attribute.quote);
            if (static_cast<int>(k) == first.href) {
                pattern += "[^>]*?href\\s*=\\s*" + quote + address + quote;
            } else if (matching == TagMatching::Shared && sameValueEverywhere(list, k)) {
                pattern +=
                    "[^>]*?" + literalPattern(attribute.name) + "\\s*=\\s*" + q +
                    literalPattern(page_.substr(attribute.start, attribute.end - attribute.start)) +
                    q;
            }
        }
        return pattern + "[^>]*>";
    }
    // The first item's tag with each attribute value that differs between items left open.
    Text pattern;
    std::size_t at = first.start;
    for (std::size_t k = 0; k < first.attributes.size(); ++k) {
        const PageAnchors::Attribute& attribute = first.attributes[k];
        for (const int item : list.items) {
            const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
            if (a.attributes.size() != first.attributes.size() ||
                a.attributes[k].name != attribute.name) {
                return Text();  // the items write their tags differently
            }
        }
        pattern += literalPattern(page_.substr(at, attribute.start - at));
        if (static_cast<int>(k) == first.href) {
            pattern += address;
        } else if (sameValueEverywhere(list, k)) {
            pattern +=
                literalPattern(page_.substr(attribute.start, attribute.end - attribute.start));
        } else {
            pattern += openValue(attribute.quote);
        }
        at = attribute.end;
    }
    return pattern + literalPattern(page_.substr(at, first.tagEnd - at));
}

Text PlanBuilder::sharedLeftContext(const ArticleList& list) const {
    std::vector<Text> before;
    for (const int item : list.items) {
        const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
        const std::size_t from =
            std::max(unitStart(list, item), a.start - std::min(a.start, kContextBytes));
        before.push_back(page_.substr(from, a.start - from));
    }
    const std::size_t shared = commonSuffixLength(before);
    const Text context = before.front().substr(before.front().size() - shared);
    const std::size_t tag = context.find('<');
    return tag == Text::npos ? Text() : literalPattern(context.substr(tag));
}

Text PlanBuilder::titlePattern(const ArticleList& list) const {
    bool wrapped = false;
    for (const int item : list.items) {
        const PageAnchors::Anchor& a = anchors_.anchors()[static_cast<std::size_t>(item)];
        const Text inner = trimText(page_.substr(a.tagEnd, a.innerEnd - a.tagEnd));
        wrapped = wrapped || (!inner.empty() && (inner.front() == '<' || inner.back() == '>'));
    }
    if (wrapped) return "\\s*(?:<[^>]*>\\s*)*(.*?)\\s*(?:<[^>]*>\\s*)*</a>";
    return "\\s*(.*?)\\s*</a>";
}

Text PlanBuilder::addressTemplate(const AddressParts& parts) const {
    // A token no address holds stands for the id while the address is resolved.
    static const Text kToken = "LUMOIDTOKEN";
    const Text resolved = resolveUrl(
        base_, decodeHtmlEntities(parts.prefix) + kToken + decodeHtmlEntities(parts.suffix));
    return replaceAllText(resolved, kToken, "[1]");
}

std::optional<PlanBuilder::Draft> PlanBuilder::draft(const ArticleList& list) const {
    const std::optional<AddressParts> parts = addressParts(list);
    if (!parts) return std::nullopt;
    Draft draft;
    draft.before = markerBefore(unitStart(list, list.items.front()));
    draft.after = markerAfter(unitEnd(list, list.items.back()));
    if (draft.before.empty() || draft.after.empty()) return std::nullopt;

    const Text context = sharedLeftContext(list);
    const Text title = titlePattern(list);
    // The text before the link is taken only where the tag alone is not enough: it may change
    // more readily than the link itself (a read or unread icon, a label).
    for (const TagMatching matching :
         {TagMatching::Shared, TagMatching::Exact, TagMatching::Loose}) {
        const Text tag = startTagPattern(list, *parts, matching);
        if (tag.empty()) continue;
        for (const Text& pattern : {tag + title, context + tag + title}) {
            const bool seen = std::find(draft.patterns.begin(), draft.patterns.end(), pattern) !=
                              draft.patterns.end();
            if (!seen) draft.patterns.push_back(pattern);
        }
    }
    draft.addressTemplate = addressTemplate(*parts);

    // Ids that grow with newer articles. Sites number their articles as they publish them, so
    // numbers that are all different qualify whether the list shows them in order or by last
    // reply (pinned old ones on top included); small numbers out of order are ranks, not ids.
    if (parts->numeric) {
        const std::set<long long> distinct(parts->ids.begin(), parts->ids.end());
        int down = 0;
        int up = 0;
        for (std::size_t i = 1; i < parts->ids.size(); ++i) {
            if (parts->ids[i] < parts->ids[i - 1]) ++down;
            if (parts->ids[i] > parts->ids[i - 1]) ++up;
        }
        const auto count = static_cast<long long>(parts->ids.size());
        const bool ordered = std::max(down, up) * 10 >= (count - 1) * 6;
        draft.compareIds = static_cast<long long>(distinct.size()) == count &&
                           (ordered || *distinct.rbegin() > 2 * count);
    }
    return draft;
}

}  // namespace lumo
