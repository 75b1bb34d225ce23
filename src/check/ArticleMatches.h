#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

#include "base/Status.h"
#include "base/Text.h"
#include "check/SearchGuard.h"

namespace lumo {

// Every match of a plan's article pattern in a cut region, with the span of each sub-match.
//
// Matching rules: Boost.Regex in its default Perl syntax with the case-insensitive option (ASCII
// letters only, in the classic locale, whatever the process locale is), default match flags, byte
// by byte over the GBK text: "." takes one byte and also crosses CR and LF; "^" and "$" match at
// line breaks. The first search starts at the start of the text; each later one starts where the
// previous whole match ended and sees that position as the start of a new text, so matches never
// overlap and come in page order. A zero-length match is kept and ends the search.
//
// A pattern Boost rejects, and a search that exceeds Boost's complexity or memory limits
// (catastrophic backtracking), both give no matches at all; failure() then says why.
// Boost's own complexity bound grows with the square of the pattern's length, so a padded pattern
// (a long comment) escapes it: every search is also bounded by its Limits, which do not depend on
// the pattern. The matcher is watched from inside: every few thousand of its steps (a character
// read or a move) the time, the step budget and the stop are looked at, so a search ends within a
// few milliseconds of its limit or of a stop, whatever the pattern.
//
// An immutable value after search(); safe to read from any thread.
class ArticleMatches {
public:
    // Where a sub-match lies in the searched text; `matched` is false when the group took no part.
    struct Span {
        std::size_t position = 0;
        std::size_t length = 0;
        bool matched = false;
    };

    // Matches kept at most by default; the rest of the text is left unsearched.
    static constexpr int kDefaultMaxMatches = 10000;

    // Where a search may end early: right after the first match whose sub-match `group` is
    // `text` (as sub() gives it), when nothing after that match is wanted.
    struct StopAt {
        int group = 0;
        Text text;
    };

    // What ends a search early (see SearchLimits).
    using Limits = SearchLimits;
    static constexpr std::chrono::milliseconds kDefaultTimeLimit = SearchLimits::kDefaultTimeLimit;

    // Compiles `pattern` and collects the matches in `text`, at most `maxMatches` of them (at
    // least 1): the search stops at the cap and truncated() tells so, or after the match `stop`
    // names. Memory stays within the text plus a few words per kept sub-match.
    static ArticleMatches search(const Text& pattern, Text text,
                                 int maxMatches = kDefaultMaxMatches,
                                 const std::optional<StopAt>& stop = std::nullopt,
                                 const Limits& limits = Limits());

    // Whether `pattern` compiles and searches texts made to provoke runaway backtracking (each
    // character of the pattern repeated, and the pattern itself repeated) within a fixed step
    // budget: ok when it does, else the failure of the search that did not. Deterministic; a
    // pattern that passes can still be slow on some page, which the search limits then end.
    static Status probe(const Text& pattern);

    // The searched text, which spans refer to.
    const Text& text() const { return text_; }

    // Number of matches, numbered 1 to count() in page order.
    int count() const { return count_; }

    // Number of capture groups of the pattern, not counting the whole match (0 when it failed).
    int groupCount() const { return groups_; }

    // The text of sub-match k of match m (k = 0 is the whole match). Empty when the group took no
    // part or covers no bytes, and when m or k lies outside the matches or groups.
    Text sub(int m, int k) const;

    // Where sub-match k of match m lies in the text; an unmatched span outside the matches.
    Span span(int m, int k) const;

    // True when the search stopped at the cap and further matches may exist.
    bool truncated() const { return truncated_; }

    // True when Limits::stopped ended the search (failure() says so too).
    bool stopped() const { return stopped_; }

    // Ok on success; otherwise why nothing matched, in a short line (ASCII): Refused (Boost
    // rejected the pattern), TimedOut (the time limit), Cancelled (Limits::stopped) or Failed
    // (the step budget, Boost's own complexity or memory bound).
    const Status& failure() const { return failure_; }
    bool failed() const { return !failure_.ok(); }

private:
    Text text_;
    bool truncated_ = false;
    bool stopped_ = false;
    int count_ = 0;
    int groups_ = 0;
    std::vector<Span> spans_;  // count_ rows of groups_ + 1 spans
    Status failure_;
};

}  // namespace lumo
