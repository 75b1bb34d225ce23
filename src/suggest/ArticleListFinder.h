#pragma once

#include <vector>

#include "base/Text.h"
#include "suggest/PageAnchors.h"

namespace lumo {

// One run of repeated article links on a page: links in the same place of the markup (the same
// ancestors' tags and link class), whose addresses share one shape (a fixed text around a varying
// id), and which sit together in one container.
struct ArticleList {
    std::vector<int> items;  // indexes into PageAnchors::anchors(), in page order
    int containerDepth = 0;  // the items' paths agree up to here: path[containerDepth - 1] holds
                             // them all, path[containerDepth] is each item's own unit
    Text shape;              // the addresses' common shape
    double score = 0;        // higher: more like the page's article list
};

// Finds the runs of repeated links on a page and ranks them, most article-like first.
//
// A run needs at least kMinItems links. Its score grows with the number of links and the length
// of their texts (titles are longer than user names, tags and page numbers), and shrinks when the
// texts repeat, when they are mostly digits or empty, when the run lies in a navigation bar,
// header, footer or pager, and when its addresses lead to users, tags, pages or boards rather
// than to articles.
//
// Pure; safe from any thread.
class ArticleListFinder {
public:
    static constexpr int kMinItems = 3;

    static std::vector<ArticleList> find(const Text& page, const PageAnchors& anchors);

    // The shape of an address: every run of letters and digits that holds a digit becomes '#',
    // and a last path segment without one '*'. Addresses of one list share it.
    static Text addressShape(const Text& href);
};

}  // namespace lumo
