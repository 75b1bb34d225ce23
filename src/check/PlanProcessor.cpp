#include "check/PlanProcessor.h"

#include <algorithm>
#include <set>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "store/JudgementMode.h"
#include "store/SqlValues.h"

namespace lumo {
namespace {

const Text& markerMissingText() {
    static const Text text = gbk("出错！无法在源码中找到最后文章标记！");
    return text;
}
const Text& cutEmptyText() {
    static const Text text = gbk("出错！截取源码为空，请检查方案的采集区域！");
    return text;
}
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
const Text& patternFailedText() {
    static const Text text = gbk("\r\n出错！正则匹配失败：");
    return text;
}
const Text& closingStart() {
    static const Text text = gbk("\r\n任务");
    return text;
}
const Text& closingEnd() {
    static const Text text = gbk("已结束----");
    return text;
}

const Text kInsertStart =
    "insert into info(planname,planid,title,url,other,addtime,issoucang) values('";
const Text kUpdateStart = "update rule set arttile='";

// Every CR LF pair removed; a lone CR or LF stays.
Text withoutCrLf(const Text& text) {
    Text out;
    out.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find("\r\n", from);
        if (at == Text::npos) {
            out.append(text, from, Text::npos);
            return out;
        }
        out.append(text, from, at - from);
        from = at + 2;
    }
}

// The article address: every "[n]" of the template replaced by sub-match integer(n), in the order
// the placeholders were collected.
Text composeAddress(const Text& templateText, const TextList& placeholders,
                    const ArticleMatches& matches, int m) {
    Text address = templateText;
    for (const Text& name : placeholders) {
        address = replaceAllText(address, "[" + name + "]", matches.sub(m, integerOfText(name)));
    }
    return address;
}

}  // namespace

PlanProcessor::PlanProcessor(PageSource& pages, SqlRunner& sql, StatusLog& log,
                             MessagePresenter& messages, CutRegionSink& testEdit,
                             MonitorState& state)
    : PlanProcessor(pages, sql, log, messages, testEdit, state, Options{}) {}

PlanProcessor::PlanProcessor(PageSource& pages, SqlRunner& sql, StatusLog& log,
                             MessagePresenter& messages, CutRegionSink& testEdit,
                             MonitorState& state, Options options)
    : pages_(pages),
      sql_(sql),
      log_(log),
      messages_(messages),
      testEdit_(testEdit),
      state_(state),
      options_(std::move(options)) {}

bool PlanProcessor::isBlockedAddress(const Text& url) {
    return url.find(kBlockedSiteMarker) != Text::npos;
}

Text PlanProcessor::now() const {
    return nowText(options_.clock);
}

Text PlanProcessor::fetchPageText(const MonitorPlan& plan) {
    const Bytes body = pages_.fetchPage(plan[MonitorPlan::url], plan[MonitorPlan::cookie],
                                        "User-Agent: " + plan[MonitorPlan::ua]);
    // A GBK page is taken as it came, up to a NUL byte; any other page is UTF-8 and converted
    // (the conversion stops at a NUL of its result).
    const bool isGbk = plan[MonitorPlan::code] == "1";
    return withoutCrLf(isGbk ? textOfBytes(body) : utf8ToGbk(body));
}

RuleTestResult PlanProcessor::testPlan(const MonitorPlan& plan) {
    if (isBlockedAddress(plan[MonitorPlan::url])) {
        messages_.showMessage(blockedText(), kDefaultCaption);
        return RuleTestResult{};
    }
    return runTest(plan);
}

RuleTestResult PlanProcessor::runTest(const MonitorPlan& plan) {
    RuleTestResult result;
    result.ran = true;
    const Text page = fetchPageText(plan);
    result.cutText = textBetween(page, plan[MonitorPlan::before], plan[MonitorPlan::after]);
    if (result.cutText.empty()) log_.append(cutEmptyText());
    testEdit_.showCutRegion(result.cutText);

    const ArticleMatches matches =
        ArticleMatches::search(plan[MonitorPlan::regular], result.cutText);
    result.matchCount = matches.count();
    result.groupCount = matches.groupCount();
    result.patternFailure = matches.failure();
    if (matches.count() == 0) {
        messages_.showMessage(noMatchText(), kDefaultCaption);
        return result;
    }
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

MonitorRunResult PlanProcessor::runMonitoring(MonitorPlan plan, int position) {
    MonitorRunResult result;
    const std::uint64_t generation = state_.stopGeneration();
    const auto stopped = [&] {
        if (state_.stoppedSince(generation)) result.abandoned = true;
        return result.abandoned;
    };
    // Articles that an earlier, stopped run of this plan stored without moving the plan's marker
    // on: they are found again now and must not be stored twice. Whatever this run stores is
    // added to them should it be stopped as well.
    const Text planId = sqlInteger(plan[MonitorPlan::id]);
    struct StoppedRunRecords {
        MonitorState& state;
        const Text& planId;
        const MonitorRunResult& result;
        std::multiset<Text> keys;
        ~StoppedRunRecords() {
            if (result.abandoned) state.keepStoredByStoppedRun(planId, std::move(keys));
        }
    } storedBefore{state_, planId, result, state_.takeStoredByStoppedRun(planId)};
    std::multiset<Text> storedNow;
    struct MergeOnExit {
        std::multiset<Text>& from;
        std::multiset<Text>& into;
        ~MergeOnExit() { into.merge(from); }
    } merge{storedNow, storedBefore.keys};

    if (stopped()) return result;
    const Text page = fetchPageText(plan);
    if (stopped()) return result;  // the fetch finished after a stop: its page is dropped

    const JudgementMode mode = judgementModeOfText(plan[MonitorPlan::type]);
    const Text& marker = plan[MonitorPlan::arttile];
    Text before = plan[MonitorPlan::before];
    Text after = plan[MonitorPlan::after];
    // An empty marker means the plan was never checked: its own region counts, all of it new.
    if (mode != JudgementMode::CompareArticleId && !marker.empty()) {
        if (findText(page, marker) < 0) {
            log_.append(markerMissingText());
        } else if (mode == JudgementMode::OldestFirst) {
            before = marker;
        } else {
            after = marker;
        }
    }

    const Text cut = textBetween(page, before, after);
    if (cut.empty()) log_.append(cutEmptyText());
    testEdit_.showCutRegion(cut);

    const ArticleMatches matches = ArticleMatches::search(plan[MonitorPlan::regular], cut);
    result.matchCount = matches.count();
    result.patternFailure = matches.failure();
    if (matches.failed()) {
        log_.append(patternFailedText() + matches.failure() + "----" + now());
    }

    if (matches.count() > 0) {
        TextList placeholders;
        allTextsBetween(plan[MonitorPlan::buquan], "[", "]", placeholders);
        const int tindex = integerOfText(plan[MonitorPlan::tindex]);
        const int uindex = integerOfText(plan[MonitorPlan::uindex]);
        const int oindex = integerOfText(plan[MonitorPlan::oindex]);
        const std::int32_t lastId = integerOfText(plan[MonitorPlan::lastid]);
        std::int32_t maxId = lastId;
        Text latestAddress;

        // Last match on the page first, so on a newest-first page the newest article gets the
        // highest id in info.
        for (int m = matches.count(); m >= 1; --m) {
            if (mode == JudgementMode::CompareArticleId) {
                const std::int32_t articleId = integerOfText(matches.sub(m, uindex));
                if (articleId <= lastId) continue;
                if (stopped()) return result;
                maxId = std::max(maxId, articleId);
            } else if (stopped()) {
                return result;
            }
            const Text title = sqlEscapedText(matches.sub(m, tindex));
            const Text address =
                composeAddress(plan[MonitorPlan::buquan], placeholders, matches, m);
            const Text other = sqlEscapedText(matches.sub(m, oindex));
            latestAddress = address;
            Text key = title + '\n' + address + '\n' + other;
            if (const auto earlier = storedBefore.keys.find(key);
                earlier != storedBefore.keys.end()) {
                // Stored by a stopped run already: take it as recorded, store nothing.
                storedBefore.keys.erase(earlier);
                storedNow.insert(std::move(key));
                continue;
            }
            // The flag goes up only for an article that is really stored, so a run stopped
            // before its first insert raises no alert.
            state_.newContentFound = true;
            sql_.runSql(kInsertStart + sqlQuoteDoubled(plan[MonitorPlan::name]) + "'," + planId +
                        ",'" + title + "','" + sqlQuoteDoubled(address) + "','" + other + "','" +
                        now() + "',0)");
            storedNow.insert(std::move(key));
            ++result.recordedCount;
            if (state_.waitUnlessStopped(options_.insertPause, generation)) {
                result.abandoned = true;
                return result;
            }
        }

        if (stopped()) return result;
        // The marker for the next check: the raw title of the newest article on the page, which
        // is the first match, or the last one on an oldest-first page.
        const int newest = mode == JudgementMode::OldestFirst ? matches.count() : 1;
        sql_.runSql(kUpdateStart + sqlQuoteDoubled(matches.sub(newest, tindex)) + "',arturl='" +
                    sqlQuoteDoubled(latestAddress) + "',lasttime='" + now() +
                    "',lastid=" + textOfInteger(maxId) + " where id=" + planId);
        result.planUpdated = true;
    }

    if (stopped()) return result;
    log_.append(closingStart() + textOfInteger(position) + closingEnd() + now());
    state_.workerBusy = false;
    return result;
}

}  // namespace lumo
