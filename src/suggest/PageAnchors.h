#pragma once

#include <cstddef>
#include <vector>

#include "base/Text.h"

namespace lumo {

// The links of a page as its source holds them: where each <a href> starts and ends, where its
// address and attributes lie, and the elements it sits in. Read with an HTML5 parser (gumbo), so
// unclosed and misnested markup is taken as a browser takes it, while every position is a byte
// offset into the very text that was read (GBK or ASCII; the markup itself is ASCII in both).
//
// Only links with an address and an end tag written in the source are kept: a plan's pattern
// needs both. Elements nested deeper than kMaxDepth are not looked into, and links after the
// first kMaxAnchors are left out.
//
// An immutable value after read(); safe to read from any thread.
class PageAnchors {
public:
    static constexpr int kMaxDepth = 200;
    static constexpr std::size_t kMaxAnchors = 20000;

    // An element of the page: its source span, start tag to end tag (or to where the parser
    // closed it).
    struct Element {
        std::size_t start = 0;
        std::size_t end = 0;
    };

    struct Attribute {
        Text name;              // lower case
        std::size_t start = 0;  // the value's source, quotes excluded
        std::size_t end = 0;
        char quote = 0;  // '"', '\'' or 0 for an unquoted value
    };

    struct Anchor {
        std::size_t start = 0;              // '<' of the start tag
        std::size_t tagEnd = 0;             // just past the start tag
        std::size_t innerEnd = 0;           // '<' of the end tag
        std::size_t end = 0;                // just past the end tag
        std::vector<Attribute> attributes;  // in source order
        int href = 0;                       // index of the href attribute
        // Element ids from the document's root down to the link's parent.
        std::vector<int> path;
        // The last few ancestors' tag names and the link's class: links of one list share it.
        Text signature;
        // Inside a navigation bar, menu, header, footer, pager or breadcrumb trail.
        bool navigation = false;
    };

    static PageAnchors read(const Text& page);

    // Container and formatting elements left open at once at most: deeper markup makes an HTML5
    // parser slow down with the square of the page (every tag looks through every open element),
    // so such a page is refused before it is parsed.
    static constexpr int kMaxOpenElements = 1000;
    // True when the page opens more than kMaxOpenElements such elements without closing them, by
    // a quick count of their start and end tags.
    static bool nestsTooDeep(const Text& page);

    const std::vector<Anchor>& anchors() const { return anchors_; }
    const Element& element(int id) const { return elements_[static_cast<std::size_t>(id)]; }
    // The text of <title>, as a reader sees it; empty without one.
    const Text& title() const { return title_; }
    // The address of <base href>, references decoded; empty without one.
    const Text& baseHref() const { return baseHref_; }

private:
    std::vector<Anchor> anchors_;
    std::vector<Element> elements_;
    Text title_;
    Text baseHref_;
};

}  // namespace lumo
