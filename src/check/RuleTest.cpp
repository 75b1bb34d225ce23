#include "check/RuleTest.h"

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/CheckReasons.h"
#include "check/PlanPage.h"

namespace lumo {
namespace {

const Text& noMatchText() {
    static const Text text = gbk("匹配结果为0,请检查正则匹配规则!");
    return text;
}
const Text& blockedText() {
    static const Text text = gbk("此站不允许监控!");
    return text;
}
const Text& columnPrefix() {
    static const Text text = gbk("索引 ");
    return text;
}
const Text& cappedText() {
    static const Text text = gbk("\r\n匹配结果过多，只列出了前");
    return text;
}
const Text& cappedRestText() {
    static const Text text = gbk("条，其余已略去");
    return text;
}

}  // namespace

RuleTest::RuleTest(PageSource& pages, StatusLog& log, MessagePresenter& messages,
                   CutRegionSink& cutRegion)
    : RuleTest(pages, log, messages, cutRegion, Options{}) {}

RuleTest::RuleTest(PageSource& pages, StatusLog& log, MessagePresenter& messages,
                   CutRegionSink& cutRegion, Options options)
    : pages_(pages),
      log_(log),
      messages_(messages),
      cutRegion_(cutRegion),
      options_(std::move(options)) {}

RuleTestResult RuleTest::testPlan(const MonitorPlan& plan) {
    if (PlanPage::isBlockedAddress(plan[MonitorPlan::url])) {
        messages_.showMessage(blockedText(), kDefaultCaption);
        return RuleTestResult{};
    }
    return run(plan);
}

RuleTestResult RuleTest::run(const MonitorPlan& plan, const std::function<bool()>& stopped) {
    RuleTestResult result;
    result.ran = true;
    FetchNote note;
    const Text page = PlanPage::fetchText(pages_, log_, plan, nowText(options_.clock), note);
    result.cutText = textBetween(page, plan[MonitorPlan::before], plan[MonitorPlan::after]);
    if (result.cutText.empty()) {
        result.status =
            emptyRegionFailure(page, note, plan[MonitorPlan::before], plan[MonitorPlan::after]);
        log_.append(withReason(PlanPage::emptyRegionLine(), result.status));
    }
    cutRegion_.showCutRegion(result.cutText);

    ArticleMatches::Limits limits;
    limits.timeLimit = options_.searchTimeLimit;
    limits.stopped = stopped;
    const ArticleMatches matches = ArticleMatches::search(
        plan[MonitorPlan::regular], result.cutText, options_.maxMatches, std::nullopt, limits);
    result.matchCount = matches.count();
    result.truncated = matches.truncated();
    if (matches.truncated()) {
        log_.append(cappedText() + textOfInteger(matches.count()) + cappedRestText() + gbk("。"));
    }
    result.groupCount = matches.groupCount();
    result.patternStatus = matches.failure();
    if (matches.count() == 0) {
        if (result.status.ok()) result.status = noMatchFailure(matches.failure(), note.status);
        messages_.showMessage(withReason(noMatchText(), result.status), kDefaultCaption);
        return result;
    }
    result.status = errorStatusFailure(note.status);
    result.enableSaveButton = true;
    // Columns 0 to G-1: the whole match and the groups but the last (the hint of the address
    // template refers to these column numbers).
    for (int k = 0; k < matches.groupCount(); ++k) {
        result.columns.push_back(columnPrefix() + textOfInteger(k));
    }
    for (int m = 1; m <= matches.count(); ++m) {
        TextList row;
        for (int k = 0; k < matches.groupCount(); ++k) row.push_back(matches.sub(m, k));
        result.rows.push_back(std::move(row));
    }
    return result;
}

}  // namespace lumo
