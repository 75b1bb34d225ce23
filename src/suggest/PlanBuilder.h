#pragma once

#include <optional>
#include <vector>

#include "base/Text.h"
#include "suggest/ArticleListFinder.h"
#include "suggest/PageAnchors.h"

namespace lumo {

// Turns an article list found on a page into the fields of a plan, worked out on the very text a
// plan's check reads (the page as GBK, CR LF pairs removed):
// - before and after: short texts that occur once in the page, the first ending where the list's
//   first item begins, the second starting where its last item ends; taken within one line where
//   one serves, so the editor's one-line boxes show them whole, and never splitting a character;
// - the pattern, in a few variants (the caller keeps the first that finds exactly the list): the
//   link's start tag by the attributes all items share, then as the items write it, then by the
//   address alone; each also with the text all items share just before the link. Group 1 is the
//   varying part of the address, group 2 the title without the white space or markup around it;
// - the address template: the address with "[1]" in place of the id, made absolute against the
//   page's <base href> or its address;
// - whether ids are numbers that grow with newer articles (judged by id: all different, and in
//   order or larger than ranks would be) or not (by position).
//
// Holds references to the page and its anchors, which must outlive it. Const after
// construction; safe to use from one thread at a time.
class PlanBuilder {
public:
    struct Draft {
        Text before;
        Text after;
        std::vector<Text> patterns;  // most particular first
        Text addressTemplate;
        bool compareIds = false;
    };

    // `address` is the page's own (absolute); a <base href> of the page takes precedence.
    PlanBuilder(const Text& page, const PageAnchors& anchors, const Text& address);

    // Nothing when no markers or no address part can be found for the list.
    std::optional<Draft> draft(const ArticleList& list) const;

    // `text` as a pattern matching it literally; white space matches any white space.
    static Text literalPattern(const Text& text);

private:
    struct AddressParts {
        Text prefix;  // the source all items' addresses begin with
        Text suffix;  // ... and end with
        bool numeric = false;
        std::vector<long long> ids;  // the numeric ids in page order
    };

    // How closely the pattern follows the items' start tags: as written, by the attributes they
    // share, or by the address alone.
    enum class TagMatching { Exact, Shared, Loose };

    std::optional<AddressParts> addressParts(const ArticleList& list) const;
    Text hrefOf(int item) const;
    std::size_t unitStart(const ArticleList& list, int item) const;
    std::size_t unitEnd(const ArticleList& list, int item) const;
    Text markerBefore(std::size_t end) const;
    Text markerAfter(std::size_t start) const;
    bool occursOnce(const Text& marker) const;
    bool sameValueEverywhere(const ArticleList& list, std::size_t attribute) const;
    Text startTagPattern(const ArticleList& list, const AddressParts& parts,
                         TagMatching matching) const;
    Text sharedLeftContext(const ArticleList& list) const;
    Text titlePattern(const ArticleList& list) const;
    Text addressTemplate(const AddressParts& parts) const;

    const Text& page_;
    const PageAnchors& anchors_;
    Text base_;
    std::vector<bool> charStarts_;  // true where a character (one or two bytes) begins
};

}  // namespace lumo
