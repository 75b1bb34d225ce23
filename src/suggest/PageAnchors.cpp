#include "suggest/PageAnchors.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string_view>

#include "base/TextOps.h"
#include "suggest/HtmlText.h"

namespace lumo {
namespace {

constexpr std::size_t kSignatureAncestors = 4;

// An id or class that names navigation rather than content: one of its words is such a name,
// or begins with "nav" or "menu".
bool namesNavigation(const Text& value) {
    static constexpr std::array<std::string_view, 16> kNames = {
        "header", "footer", "site-header", "site-footer", "breadcrumb", "breadcrumbs",
        "crumbs", "pager",  "pagination",  "pages",       "pg",         "toolbar",
        "topbar", "tags",   "tagcloud",    "sidebar-nav"};
    const Text lower = lowerText(value);
    std::size_t at = 0;
    while (at < lower.size()) {
        const std::size_t end = std::min(lower.find_first_of(" \t\n", at), lower.size());
        const std::string_view word = std::string_view(lower).substr(at, end - at);
        if (word.starts_with("nav") || word.starts_with("menu")) return true;
        for (const std::string_view name : kNames) {
            if (word == name) return true;
        }
        at = end + 1;
    }
    return false;
}

struct Reader {
    const Text& page;
    PageAnchors::Element span(const GumboElement& e) const {
        PageAnchors::Element out;
        out.start = e.start_pos.offset;
        out.end = e.end_pos.offset + e.original_end_tag.length;
        if (out.end < out.start) out.end = out.start;
        return out;
    }
    std::size_t offsetOf(const char* p) const { return static_cast<std::size_t>(p - page.data()); }
    Text source(std::size_t start, std::size_t end) const {
        return end > start && end <= page.size() ? page.substr(start, end - start) : Text();
    }
};

Text tagName(const GumboElement& e) {
    if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
    GumboStringPiece name = e.original_tag;
    gumbo_tag_from_original_text(&name);
    return lowerText(Text(name.data, name.length));
}

const GumboAttribute* attribute(const GumboElement& e, const char* name) {
    return gumbo_get_attribute(&e.attributes, name);
}

PageAnchors::Attribute attributeSpan(const Reader& reader, const GumboAttribute& a) {
    PageAnchors::Attribute out;
    out.name = lowerText(a.name);
    const GumboStringPiece value = a.original_value;
    std::size_t start = value.data != nullptr ? reader.offsetOf(value.data) : 0;
    std::size_t end = start + value.length;
    if (value.length >= 2 && (value.data[0] == '"' || value.data[0] == '\'') &&
        value.data[value.length - 1] == value.data[0]) {
        out.quote = value.data[0];
        ++start;
        --end;
    }
    out.start = start;
    out.end = end;
    return out;
}

// An element that begins navigation: a nav bar, a page's own header or footer (an article's are
// not), or one whose id or class names a menu, pager or the like.
bool opensNavigation(const GumboElement& e, bool inContent) {
    if (e.tag == GUMBO_TAG_NAV) return true;
    if (!inContent && (e.tag == GUMBO_TAG_HEADER || e.tag == GUMBO_TAG_FOOTER)) return true;
    for (const char* attr : {"id", "class"}) {
        const GumboAttribute* a = attribute(e, attr);
        if (a != nullptr && namesNavigation(a->value)) return true;
    }
    return false;
}

// The link `e` with its spans and attributes, or nothing when its markup is not whole.
std::optional<PageAnchors::Anchor> anchorOf(const Reader& reader, const GumboElement& e) {
    PageAnchors::Anchor anchor;
    anchor.start = e.start_pos.offset;
    anchor.tagEnd = anchor.start + e.original_tag.length;
    anchor.innerEnd = e.end_pos.offset;
    anchor.end = anchor.innerEnd + e.original_end_tag.length;
    for (unsigned i = 0; i < e.attributes.length; ++i) {
        const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
        if (a->original_value.length == 0 || a->original_value.data == nullptr) continue;
        if (lowerText(a->name) == "href") anchor.href = static_cast<int>(anchor.attributes.size());
        anchor.attributes.push_back(attributeSpan(reader, *a));
    }
    if (anchor.attributes.empty() || anchor.attributes[anchor.href].name != "href" ||
        anchor.innerEnd < anchor.tagEnd || anchor.end > reader.page.size()) {
        return std::nullopt;
    }
    return anchor;
}

// The last few ancestors' tag names and the link's class: the links of one list share it.
Text signatureOf(const std::vector<Text>& tagNames, const GumboElement& e) {
    Text signature;
    const std::size_t from =
        tagNames.size() > kSignatureAncestors ? tagNames.size() - kSignatureAncestors : 0;
    for (std::size_t i = from; i < tagNames.size(); ++i) signature += tagNames[i] + ">";
    const GumboAttribute* cls = attribute(e, "class");
    return signature + "a." + Text(cls != nullptr ? cls->value : "");
}

// The first <title>'s text into `title` and the first <base>'s href into `baseHref`.
void noteTitleOrBase(const Reader& reader, const GumboElement& e, Text& title, Text& baseHref) {
    if (e.tag == GUMBO_TAG_TITLE && title.empty() && e.original_end_tag.length > 0) {
        title = visibleText(
            reader.source(e.start_pos.offset + e.original_tag.length, e.end_pos.offset));
    } else if (e.tag == GUMBO_TAG_BASE && baseHref.empty()) {
        if (const GumboAttribute* href = attribute(e, "href")) {
            const PageAnchors::Attribute span = attributeSpan(reader, *href);
            baseHref = trimText(decodeHtmlEntities(reader.source(span.start, span.end)));
        }
    }
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Elements that a parser never closes on its own: each one left open deepens what follows.
bool staysOpen(std::string_view name) {
    static constexpr std::array<std::string_view, 30> kNames = {
        "div",    "span", "section", "article", "main",  "aside",   "nav",        "header",
        "footer", "ul",   "ol",      "dl",      "table", "form",    "blockquote", "center",
        "font",   "b",    "i",       "u",       "s",     "em",      "strong",     "small",
        "big",    "code", "tt",      "nobr",    "label", "fieldset"};
    for (const std::string_view known : kNames) {
        if (name.size() == known.size() && lowerText(Text(name)) == known) return true;
    }
    return false;
}

}  // namespace

bool PageAnchors::nestsTooDeep(const Text& page) {
    int open = 0;
    for (std::size_t at = page.find('<'); at != Text::npos; at = page.find('<', at + 1)) {
        const bool closing = at + 1 < page.size() && page[at + 1] == '/';
        std::size_t start = at + (closing ? 2 : 1);
        std::size_t end = start;
        while (end < page.size() && isLetter(page[end])) ++end;
        if (end == start || end - start > 10 ||
            !staysOpen(std::string_view(page).substr(start, end - start))) {
            continue;
        }
        if (closing) {
            open = std::max(0, open - 1);
            continue;
        }
        const std::size_t tagEnd = page.find('>', end);
        if (tagEnd != Text::npos && page[tagEnd - 1] == '/') continue;  // written self-closed
        if (++open > kMaxOpenElements) return true;
    }
    return false;
}

PageAnchors PageAnchors::read(const Text& page) {
    PageAnchors result;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // GBK bytes are not UTF-8; their complaints are not wanted
    std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> output(
        gumbo_parse_with_options(&options, page.data(), page.size()),
        [](GumboOutput* out) { gumbo_destroy_output(&kGumboDefaultOptions, out); });
    if (!output) return result;
    const Reader reader{page};

    struct Frame {
        const GumboNode* node;
        unsigned child;
        bool navigation;
        bool content;
    };
    std::vector<Frame> stack;
    std::vector<int> path;       // element ids of the open frames
    std::vector<Text> tagNames;  // their tag names
    stack.push_back({output->root, 0, false, false});
    path.push_back(0);
    tagNames.push_back("html");
    result.elements_.push_back(reader.span(output->root->v.element));

    while (!stack.empty() && result.anchors_.size() < kMaxAnchors) {
        Frame& frame = stack.back();
        const GumboElement& parent = frame.node->v.element;
        if (frame.child >= parent.children.length || stack.size() > kMaxDepth) {
            stack.pop_back();
            path.pop_back();
            tagNames.pop_back();
            continue;
        }
        const auto* node = static_cast<const GumboNode*>(parent.children.data[frame.child++]);
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
        const GumboElement& e = node->v.element;
        const Text name = tagName(e);
        // A page's own header and footer are navigation; an article's are not.
        const bool content = frame.content || e.tag == GUMBO_TAG_ARTICLE || e.tag == GUMBO_TAG_MAIN;
        const bool navigation = frame.navigation || opensNavigation(e, content);

        if (e.tag == GUMBO_TAG_TITLE || e.tag == GUMBO_TAG_BASE) {
            noteTitleOrBase(reader, e, result.title_, result.baseHref_);
        } else if (e.tag == GUMBO_TAG_A && e.original_tag.length > 0 &&
                   e.original_end_tag.length > 0 && attribute(e, "href") != nullptr) {
            std::optional<Anchor> anchor = anchorOf(reader, e);
            if (!anchor) continue;
            anchor->path = path;
            anchor->signature = signatureOf(tagNames, e);
            anchor->navigation = navigation;
            result.anchors_.push_back(std::move(*anchor));
            continue;  // a link's own children make no lists
        }

        const int id = static_cast<int>(result.elements_.size());
        result.elements_.push_back(reader.span(e));
        stack.push_back({node, 0, navigation, content});
        path.push_back(id);
        tagNames.push_back(name);
    }
    return result;
}

}  // namespace lumo
