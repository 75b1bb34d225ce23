#pragma once

#include "base/Text.h"
#include "suggest/Suggestion.h"

namespace lumo {

// Suggests plans for a page: finds the page's lists of article links, builds a plan for each of
// the most promising (PlanBuilder) and keeps the plans that pass the real rule test
// (RuleTest::run on the same bytes): the pattern must find exactly the list's items
// between the markers. What it offers is ranked as the lists were (ArticleListFinder): article
// lists before navigation bars, pagers, user names and tags.
//
// The page is read as a plan reads it: GBK or UTF-8 (PageEncoding), CR LF pairs removed, and the
// markers and pattern work on that text. The plan's name is the page's title (its address when
// it has none), its address and cookie and user agent are the request's, and it comes unticked.
//
// Bounded: a page larger than kMaxPageBytes is refused, so is one whose markup leaves more than
// PageAnchors::kMaxOpenElements elements open (which the parser would take minutes over), the
// reader keeps at most
// PageAnchors::kMaxAnchors links, at most kMaxCandidates lists are built and tested, and the rule
// test caps its matches.
// Stateless; safe from any thread.
class PlanSuggester {
public:
    static constexpr std::size_t kMaxPageBytes = std::size_t{8} << 20;
    static constexpr int kMaxCandidates = 8;
    static constexpr int kMaxSuggestions = 5;

    static SuggestionResult suggest(const Bytes& body, const SuggestionRequest& request);

    // The plan's name from a page title: white space collapsed, at most kMaxNameBytes bytes, not
    // splitting a character.
    static constexpr int kMaxNameBytes = 60;
    static Text planName(const Text& title, const Text& address);
};

}  // namespace lumo
