#include "check/ArticleMatches.h"

#include <algorithm>
#include <boost/regex.hpp>
#include <exception>
#include <locale>
#include <utility>

#include "base/TextOps.h"
#include "check/GuardedTextIterator.h"
#include "check/SearchGuard.h"

namespace lumo {
namespace {

// The first sentence of a Boost message (they run on with advice and the whole pattern), so a
// log line stays short.
Text firstSentence(const char* message) {
    Text text = message ? message : "";
    const std::size_t end = text.find(". ");
    if (end != Text::npos) text.resize(end + 1);
    if (text.size() > 160) text.resize(160);
    return text.empty() ? Text("unknown error") : text;
}

using GuardedMatch = boost::match_results<GuardedTextIterator>;

// True when sub-match `group` of `found` reads `text`; a group outside the pattern reads empty.
bool subMatchIs(const GuardedMatch& found, int group, const Text& text) {
    if (group < 0 || static_cast<std::size_t>(group) >= found.size() || !found[group].matched) {
        return text.empty();
    }
    const auto length = static_cast<std::size_t>(found[group].second - found[group].first);
    return length == text.size() &&
           Text::traits_type::compare(found[group].first.base(), text.data(), length) == 0;
}

// The step budget of one probe text: far above what a pattern linear or quadratic in the text
// needs on these short texts, and reached in a fraction of a second.
constexpr std::uint64_t kProbeSteps = 20'000'000;
constexpr std::size_t kProbeLength = 256;

// Texts that make a backtracking pattern show itself: each printable character of the pattern
// repeated (a run of "a" for "(a+)+b"), and the pattern repeated.
TextList probeTexts(const Text& pattern) {
    TextList texts;
    bool seen[256] = {};
    for (const char c : pattern) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || seen[byte]) continue;
        seen[byte] = true;
        texts.push_back(Text(kProbeLength, c));
    }
    Text repeated;
    while (!pattern.empty() && repeated.size() < kProbeLength) repeated += pattern;
    texts.push_back(repeated);
    return texts;
}

}  // namespace

ArticleMatches ArticleMatches::search(const Text& pattern, Text text, int maxMatches,
                                      const std::optional<StopAt>& stop, const Limits& limits) {
    ArticleMatches result;
    result.text_ = std::move(text);
    boost::regex expression;
    try {
        expression.imbue(std::locale::classic());
        expression.assign(pattern, boost::regex::perl | boost::regex::icase);
    } catch (const std::exception& error) {
        result.failure_ = Status::failure(Status::Kind::Refused, firstSentence(error.what()));
        return result;
    }
    const int groups = static_cast<int>(expression.mark_count());
    const std::size_t width = static_cast<std::size_t>(groups) + 1;
    if (result.text_.empty()) {
        result.groups_ = groups;
        return result;
    }
    SearchGuard guard(limits);
    try {
        const char* const begin = result.text_.data();
        const GuardedTextIterator end(begin + result.text_.size(), &guard);
        GuardedTextIterator from(begin, &guard);
        GuardedMatch found;
        // Each search sees `from` as the start of a fresh text: no match_prev_avail, so "^" and
        // "\b" can match there and nothing before it is visible.
        while (boost::regex_search(from, end, found, expression, boost::match_default)) {
            if (result.count_ >= std::max(maxMatches, 1)) {
                result.truncated_ = true;
                break;
            }
            for (std::size_t k = 0; k < width; ++k) {
                Span span;
                if (k < found.size() && found[k].matched) {
                    span.matched = true;
                    span.position = static_cast<std::size_t>(found[k].first.base() - begin);
                    span.length = static_cast<std::size_t>(found[k].second - found[k].first);
                }
                result.spans_.push_back(span);
            }
            ++result.count_;
            if (found[0].first == found[0].second) break;  // a zero-length match ends the search
            if (stop && subMatchIs(found, stop->group, stop->text)) break;
            from = found[0].second;
        }
    } catch (const SearchGuard::Ended& ended) {
        // Over its limits, or stopped: nothing matched at all.
        result.spans_.clear();
        result.count_ = 0;
        result.stopped_ = ended.byStop();
        result.failure_ = Status::failure(ended.kind(), ended.what());
        return result;
    } catch (const std::exception& error) {
        // Too complex (catastrophic backtracking) or out of memory: nothing matched at all.
        result.spans_.clear();
        result.count_ = 0;
        result.failure_ = Status::failure(Status::Kind::Failed, firstSentence(error.what()));
        return result;
    }
    result.groups_ = groups;
    return result;
}

Status ArticleMatches::probe(const Text& pattern) {
    Limits limits;
    limits.stepLimit = kProbeSteps;
    for (const Text& text : probeTexts(pattern)) {
        const ArticleMatches matches =
            search(pattern, text, kDefaultMaxMatches, std::nullopt, limits);
        if (matches.failed()) return matches.failure();
    }
    return Status();
}

ArticleMatches::Span ArticleMatches::span(int m, int k) const {
    if (m < 1 || m > count_ || k < 0 || k > groups_) return Span{};
    const std::size_t width = static_cast<std::size_t>(groups_) + 1;
    return spans_[static_cast<std::size_t>(m - 1) * width + static_cast<std::size_t>(k)];
}

Text ArticleMatches::sub(int m, int k) const {
    if (m < 1 || m > count_ || k < 0 || k > groups_) return Text();
    const std::size_t width = static_cast<std::size_t>(groups_) + 1;
    const Span& span =
        spans_[static_cast<std::size_t>(m - 1) * width + static_cast<std::size_t>(k)];
    if (!span.matched || span.length == 0) return Text();
    return text_.substr(span.position, span.length);
}

}  // namespace lumo
