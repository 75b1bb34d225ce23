#include "check/ArticleMatches.h"

#include <algorithm>
#include <boost/regex.hpp>
#include <exception>
#include <locale>
#include <utility>

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

// True when sub-match `group` of `found` reads `text`; a group outside the pattern reads empty.
bool subMatchIs(const boost::cmatch& found, int group, const Text& text) {
    if (group < 0 || static_cast<std::size_t>(group) >= found.size() || !found[group].matched) {
        return text.empty();
    }
    const auto length = static_cast<std::size_t>(found[group].second - found[group].first);
    return length == text.size() &&
           Text::traits_type::compare(found[group].first, text.data(), length) == 0;
}

}  // namespace

ArticleMatches ArticleMatches::search(const Text& pattern, Text text, int maxMatches,
                                      const std::optional<StopAt>& stop) {
    ArticleMatches result;
    result.text_ = std::move(text);
    boost::regex expression;
    try {
        expression.imbue(std::locale::classic());
        expression.assign(pattern, boost::regex::perl | boost::regex::icase);
    } catch (const std::exception& error) {
        result.failure_ = firstSentence(error.what());
        return result;
    }
    const int groups = static_cast<int>(expression.mark_count());
    const std::size_t width = static_cast<std::size_t>(groups) + 1;
    if (result.text_.empty()) {
        result.groups_ = groups;
        return result;
    }
    try {
        const char* const begin = result.text_.data();
        const char* const end = begin + result.text_.size();
        const char* from = begin;
        boost::cmatch found;
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
                    span.position = static_cast<std::size_t>(found[k].first - begin);
                    span.length = static_cast<std::size_t>(found[k].second - found[k].first);
                }
                result.spans_.push_back(span);
            }
            ++result.count_;
            if (found[0].first == found[0].second) break;  // a zero-length match ends the search
            if (stop && subMatchIs(found, stop->group, stop->text)) break;
            from = found[0].second;
        }
    } catch (const std::exception& error) {
        // Too complex (catastrophic backtracking) or out of memory: nothing matched at all.
        result.spans_.clear();
        result.count_ = 0;
        result.failure_ = firstSentence(error.what());
        return result;
    }
    result.groups_ = groups;
    return result;
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
