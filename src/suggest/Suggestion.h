#pragma once

#include <optional>
#include <vector>

#include "base/Text.h"
#include "check/MonitorPlan.h"

namespace lumo {

// The user agent a suggested plan is fetched with when none is given: the plan editor's initial
// one.
inline constexpr const char* kSuggestionUserAgent =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/38.0.2125.122 Safari/537.36 SE 2.X MetaSr 1.0";

// What a plan suggestion starts from besides the page's bytes.
struct SuggestionRequest {
    Text url;       // the page's address: the plan's url, and the base of relative links
    Text finalUrl;  // where the page came from after redirects, when known: the base instead
    Text cookie;    // the plan's cookie and user agent, as the page was fetched with them
    Text userAgent;
    Text charset;             // the charset the response declared (Content-Type), or empty
    std::optional<bool> gbk;  // the encoding chosen by the user; empty: found from the page
};

// One article list found on a page, as a complete plan that the rule test has passed.
struct Suggestion {
    MonitorPlan plan;    // id and last-seen fields empty, unticked (isdo "0")
    int matchCount = 0;  // the rule test's matches: the articles of the list
    TextList titles;     // every match's title, in page order
    TextList addresses;  // every match's address as the plan composes it
    double score = 0;    // how much the list looks like the page's articles (higher: more)
};

// Why a page gave no suggestion.
enum class SuggestionFailure {
    None,
    EmptyPage,   // no body, or only white space
    BinaryPage,  // the body is not text (NUL or control bytes, an image, an archive)
    TooLarge,    // the body is larger than a list page can sensibly be
    TooDeep,     // the markup leaves too many elements open to be read in good time
    NoList,      // no list of article links that a plan could follow
};

struct SuggestionResult {
    std::vector<Suggestion> suggestions;  // best first; empty exactly when failure is set
    SuggestionFailure failure = SuggestionFailure::None;
    bool gbk = false;  // how the page was read
};

}  // namespace lumo
