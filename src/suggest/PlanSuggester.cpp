#include "suggest/PlanSuggester.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/JudgementMode.h"
#include "check/PlanPage.h"
#include "check/RuleTest.h"
#include "store/DatabaseConnection.h"
#include "suggest/ArticleListFinder.h"
#include "suggest/NullCutRegionSink.h"
#include "suggest/NullStatusLog.h"
#include "suggest/PageAnchors.h"
#include "suggest/PageEncoding.h"
#include "suggest/PlanBuilder.h"

namespace lumo {
namespace {

// The rule test's collaborators: the page already fetched, and seams that show nothing.
class FetchedPage : public PageSource {
public:
    explicit FetchedPage(const Bytes& body) : body_(body) {}
    Bytes fetchPage(const Text&, const Text&, const Text&) override { return body_; }

private:
    const Bytes& body_;
};

class QuietMessages : public MessagePresenter {
public:
    void showMessage(const Text&, const Text&) override {}
};

// The rule test of `plan` over the fetched body, as the editor's button runs it.
RuleTestResult ruleTest(const Bytes& body, const MonitorPlan& plan) {
    FetchedPage page(body);
    NullStatusLog log;
    QuietMessages messages;
    NullCutRegionSink region;
    return RuleTest(page, log, messages, region).run(plan);
}

MonitorPlan planOf(const PlanBuilder::Draft& draft, const Text& pattern,
                   const SuggestionRequest& request, const Text& name, bool gbk) {
    MonitorPlan plan;
    plan[MonitorPlan::name] = name;
    plan[MonitorPlan::url] = request.url;
    plan[MonitorPlan::code] = gbk ? "1" : "0";
    plan[MonitorPlan::cookie] = request.cookie;
    plan[MonitorPlan::ua] = request.userAgent;
    plan[MonitorPlan::before] = draft.before;
    plan[MonitorPlan::after] = draft.after;
    plan[MonitorPlan::regular] = pattern;
    plan[MonitorPlan::buquan] = draft.addressTemplate;
    plan[MonitorPlan::tindex] = "2";
    plan[MonitorPlan::uindex] = "1";
    plan[MonitorPlan::oindex] = "1";
    plan[MonitorPlan::isdo] = "0";
    const JudgementMode mode =
        draft.compareIds ? JudgementMode::CompareArticleId : JudgementMode::NewestFirst;
    plan[MonitorPlan::type] = textOfInteger(static_cast<int>(mode));
    return plan;
}

// The first pattern variant whose rule test finds exactly the list, as a suggestion.
std::optional<Suggestion> checkedSuggestion(const Bytes& body, const PlanBuilder::Draft& draft,
                                            int items, const SuggestionRequest& request,
                                            const Text& name, bool gbk) {
    for (const Text& pattern : draft.patterns) {
        Suggestion suggestion;
        suggestion.plan = planOf(draft, pattern, request, name, gbk);
        const RuleTestResult test = ruleTest(body, suggestion.plan);
        if (test.matchCount != items || test.truncated) continue;
        const ArticleMatches matches = ArticleMatches::search(pattern, test.cutText);
        if (matches.count() != items) continue;
        suggestion.matchCount = test.matchCount;
        for (int m = 1; m <= matches.count(); ++m) {
            suggestion.titles.push_back(matches.sub(m, 2));
            suggestion.addresses.push_back(
                replaceAllText(draft.addressTemplate, "[1]", matches.sub(m, 1)));
        }
        return suggestion;
    }
    return std::nullopt;
}

}  // namespace

Text PlanSuggester::planName(const Text& title, const Text& address) {
    Text name = title.empty() ? address : title;
    if (textLength(name) <= kMaxNameBytes) return name;
    std::size_t end = 0;
    while (end < name.size()) {
        const std::size_t step = static_cast<unsigned char>(name[end]) >= 0x80 ? 2 : 1;
        if (end + step > static_cast<std::size_t>(kMaxNameBytes)) break;
        end += step;
    }
    return trimText(name.substr(0, end));
}

SuggestionResult PlanSuggester::suggest(const Bytes& body, const SuggestionRequest& request) {
    SuggestionResult result;
    if (PageEncoding::isBlank(body)) {
        result.failure = SuggestionFailure::EmptyPage;
        return result;
    }
    if (body.size() > kMaxPageBytes) {
        result.failure = SuggestionFailure::TooLarge;
        return result;
    }
    if (PageEncoding::looksBinary(body)) {
        result.failure = SuggestionFailure::BinaryPage;
        return result;
    }
    result.gbk = PageEncoding::readsAsGbk(body, request.charset, request.gbk);
    const Text page = PlanPage::withoutCrLf(result.gbk ? textOfBytes(body) : utf8ToGbk(body));
    if (PageAnchors::nestsTooDeep(page)) {
        result.failure = SuggestionFailure::TooDeep;
        return result;
    }
    const PageAnchors anchors = PageAnchors::read(page);
    const Text name = planName(anchors.title(), request.url);
    const PlanBuilder builder(page, anchors,
                              request.finalUrl.empty() ? request.url : request.finalUrl);

    const std::vector<ArticleList> lists = ArticleListFinder::find(page, anchors);
    int tried = 0;
    for (const ArticleList& list : lists) {
        if (tried++ >= kMaxCandidates) break;
        const std::optional<PlanBuilder::Draft> draft = builder.draft(list);
        if (!draft) continue;
        std::optional<Suggestion> suggestion = checkedSuggestion(
            body, *draft, static_cast<int>(list.items.size()), request, name, result.gbk);
        if (!suggestion) continue;
        suggestion->score = list.score;
        result.suggestions.push_back(std::move(*suggestion));
        if (static_cast<int>(result.suggestions.size()) >= kMaxSuggestions) break;
    }
    if (result.suggestions.empty()) result.failure = SuggestionFailure::NoList;
    return result;
}

}  // namespace lumo
