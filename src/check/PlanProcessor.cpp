#include "check/PlanProcessor.h"

#include <algorithm>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/CheckReasons.h"
#include "check/JudgementMode.h"
#include "http/FetchHeaders.h"
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
const Text& checkCappedText() {
    static const Text text = gbk("\r\n匹配结果过多，只处理了前");
    return text;
}
const Text& testCappedText() {
    static const Text text = gbk("\r\n匹配结果过多，只列出了前");
    return text;
}
const Text& cappedRestText() {
    static const Text text = gbk("条，其余已略去");
    return text;
}
const Text& errorLineStart() {
    static const Text text = gbk("\r\n出错！");
    return text;
}
const Text& statusBodyUsedText() {
    static const Text text = gbk("，仍按返回的页面处理");
    return text;
}
const Text& healthNotStoredText() {
    static const Text text = gbk("\r\n出错！方案的检查结果无法记录（错误代码：");
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

const Text& headerCutStart() {
    static const Text text = gbk("\r\n出错！方案的 ");
    return text;
}
const Text& headerCutEnd() {
    static const Text text = gbk(" 含有回车、换行或空字符，请求里只发送了它们前面的部分----");
    return text;
}

// The statements a run's writes end with that record its health: not shown in the log.
constexpr std::size_t kHealthStatements = 2;

const Text kInsertStart =
    "insert into info(planname,planid,title,url,other,addtime,issoucang) values('";
const Text kUpdateStart = "update rule set arttile='";

// Every CR LF pair removed; a lone CR or LF stays. The pairs are those of the text as given
// (removing one never makes another), and the text is compacted where it lies.
Text withoutCrLf(Text text) {
    std::size_t out = text.find("\r\n");
    if (out == Text::npos) return text;
    std::size_t from = out + 2;
    for (;;) {
        const std::size_t next = text.find("\r\n", from);
        const std::size_t end = next == Text::npos ? text.size() : next;
        std::copy(text.begin() + from, text.begin() + end, text.begin() + out);  // forwards
        out += end - from;
        if (next == Text::npos) break;
        from = next + 2;
    }
    text.resize(out);
    return text;
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

// A plan that has never been checked takes every match of its page.
bool neverChecked(const MonitorPlan& plan) {
    return plan[MonitorPlan::arttile].empty() && plan[MonitorPlan::lasttime].empty();
}

// On a newest-first page nothing after the marker's own article is wanted, so the search ends
// there; the other modes need every match.
std::optional<ArticleMatches::StopAt> lastWantedMatch(const MonitorPlan& plan, JudgementMode mode) {
    if (mode != JudgementMode::NewestFirst || neverChecked(plan)) return std::nullopt;
    return ArticleMatches::StopAt{integerOfText(plan[MonitorPlan::tindex]),
                                  plan[MonitorPlan::arttile]};
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

PlanProcessor::RequestHeaders PlanProcessor::requestHeadersOf(const MonitorPlan& plan,
                                                              const Text& now) {
    const Text& agent = plan[MonitorPlan::ua];
    const Text& cookie = plan[MonitorPlan::cookie];
    RequestHeaders sent{"User-Agent: " + headerSafePart(agent), headerSafePart(cookie), Text()};
    Text cutFields;
    if (!isHeaderSafe(agent)) cutFields = "User-Agent";
    if (!isHeaderSafe(cookie)) cutFields += Text(cutFields.empty() ? "" : gbk("、")) + "Cookie";
    if (!cutFields.empty()) sent.cutLine = headerCutStart() + cutFields + headerCutEnd() + now;
    return sent;
}

Text PlanProcessor::now() const {
    return nowText(options_.clock);
}

Text PlanProcessor::fetchPageText(const MonitorPlan& plan, FetchNote& note) {
    // A plan's page is GBK when its code is "1", and UTF-8 otherwise.
    const bool utf8 = plan[MonitorPlan::code] != "1";
    const RequestHeaders sent = requestHeadersOf(plan, now());
    if (!sent.cutLine.empty()) log_.append(sent.cutLine);
    return withoutCrLf(
        pages_.fetchPlanPage(plan[MonitorPlan::url], sent.cookie, sent.headers, utf8, note));
}

RuleTestResult PlanProcessor::testPlan(const MonitorPlan& plan) {
    if (isBlockedAddress(plan[MonitorPlan::url])) {
        messages_.showMessage(blockedText(), kDefaultCaption);
        return RuleTestResult{};
    }
    return runTest(plan);
}

RuleTestResult PlanProcessor::runTest(const MonitorPlan& plan,
                                      const std::function<bool()>& stopped) {
    RuleTestResult result;
    result.ran = true;
    FetchNote note;
    const Text page = fetchPageText(plan, note);
    result.cutText = textBetween(page, plan[MonitorPlan::before], plan[MonitorPlan::after]);
    if (result.cutText.empty()) {
        result.failure =
            emptyRegionReason(page, note, plan[MonitorPlan::before], plan[MonitorPlan::after]);
        log_.append(withReason(cutEmptyText(), result.failure));
    }
    testEdit_.showCutRegion(result.cutText);

    ArticleMatches::Limits limits;
    limits.timeLimit = options_.searchTimeLimit;
    limits.stopped = stopped;
    const ArticleMatches matches = ArticleMatches::search(
        plan[MonitorPlan::regular], result.cutText, options_.maxMatches, std::nullopt, limits);
    result.matchCount = matches.count();
    result.truncated = matches.truncated();
    if (matches.truncated()) {
        log_.append(testCappedText() + textOfInteger(matches.count()) + cappedRestText() +
                    gbk("。"));
    }
    result.groupCount = matches.groupCount();
    result.patternFailure = matches.failure();
    if (matches.count() == 0) {
        if (result.failure.empty()) result.failure = noMatchReason(matches.failure(), note.status);
        messages_.showMessage(withReason(noMatchText(), result.failure), kDefaultCaption);
        return result;
    }
    result.failure = errorStatusReason(note.status);
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
    if (stopped()) return result;
    FetchNote note;
    const Text page = fetchPageText(plan, note);
    if (stopped()) return result;  // the fetch finished after a stop: its page is dropped

    // Cut: the region between the plan's own markers; match; then the marker picks the new ones.
    const JudgementMode mode = judgementModeOfText(plan[MonitorPlan::type]);
    ArticleMatches::Limits limits;
    limits.timeLimit = options_.searchTimeLimit;
    limits.stopped = [this, generation] { return state_.stoppedSince(generation); };
    const ArticleMatches matches = ArticleMatches::search(
        plan[MonitorPlan::regular],
        textBetween(page, plan[MonitorPlan::before], plan[MonitorPlan::after]), options_.maxMatches,
        lastWantedMatch(plan, mode), limits);
    if (stopped()) return result;  // a stop ended the search, or came during it
    const NewMatches chosen = chooseNewMatches(plan, mode, page, matches);
    result.httpStatus = note.status;
    if (matches.text().empty()) {
        result.failure =
            emptyRegionReason(page, note, plan[MonitorPlan::before], plan[MonitorPlan::after]);
    }
    if (chosen.cut.empty()) log_.append(withReason(cutEmptyText(), result.failure));
    testEdit_.showCutRegion(chosen.cut);
    logMatchProblems(matches, result);
    if (result.failure.empty()) logPageProblems(matches, note, result);
    result.matchCount = std::max(0, chosen.last - chosen.first + 1);

    const Text planId = plan[MonitorPlan::id];
    const std::optional<PlanHealthRecord> before = healthBefore(planId, result);
    if (result.matchCount > 0) {
        RunWrites writes = judge(plan, mode, matches, chosen);
        if (stopped()) return result;
        const Text outcome = !result.failure.empty() ? PlanHealth::kFailed
                             : writes.inserts > 0    ? PlanHealth::kNewArticles
                                                     : PlanHealth::kNothingNew;
        const Text checkedAt = now();
        writes.statements.push_back(PlanHealth::createTableStatement());
        writes.statements.push_back(
            PlanHealth::recordStatement(planId, outcome, result.failure, checkedAt));
        record(plan, writes, generation, result);
        if (result.planUpdated) {
            result.health = PlanHealth::after(before, planId, outcome, result.failure, checkedAt);
        }
        if (result.abandoned) return result;
    }
    if (stopped()) return result;
    if (!result.health) recordHealthAlone(planId, before, result);

    log_.append(closingStart() + textOfInteger(position) + closingEnd() + now());
    state_.workerBusy = false;
    return result;
}

std::optional<PlanHealthRecord> PlanProcessor::healthBefore(const Text& planId,
                                                            MonitorRunResult& result) {
    const PlanHealth::Read read = PlanHealth::read(sql_.database(), planId);
    if (!read.query.ok) return std::nullopt;  // failuresBefore stays unknown
    const auto found = read.records.find(planId);
    if (found == read.records.end()) {
        result.failuresBefore = 0;
        return std::nullopt;
    }
    result.failuresBefore = found->second.failures;
    return found->second;
}

void PlanProcessor::recordHealthAlone(const Text& planId,
                                      const std::optional<PlanHealthRecord>& before,
                                      MonitorRunResult& result) {
    const Text outcome = result.failure.empty() ? PlanHealth::kNothingNew : PlanHealth::kFailed;
    const Text checkedAt = now();
    const DatabaseConnection::BatchOutcome stored = sql_.database().executeAll(
        {PlanHealth::createTableStatement(),
         PlanHealth::recordStatement(planId, outcome, result.failure, checkedAt)});
    if (stored.ok) {
        result.health = PlanHealth::after(before, planId, outcome, result.failure, checkedAt);
        return;
    }
    log_.append(healthNotStoredText() + textOfInteger(stored.errorCode) + gbk("）----") + now());
}

void PlanProcessor::logPageProblems(const ArticleMatches& matches, const FetchNote& note,
                                    MonitorRunResult& result) {
    // A search its bound cut off fails the check even when it found some articles first.
    if (matches.count() == 0 || matches.failed()) {
        result.failure = noMatchReason(matches.failure(), note.status);
        // A refused or cut-off pattern has had its own line.
        if (!matches.failed()) log_.append(errorLineStart() + result.failure + "----" + now());
    } else if (note.status >= 400) {
        result.failure = errorStatusReason(note.status);
        log_.append(errorLineStart() + result.failure + statusBodyUsedText() + "----" + now());
    }
}

void PlanProcessor::logMatchProblems(const ArticleMatches& matches, MonitorRunResult& result) {
    result.patternFailure = matches.failure();
    if (matches.failed()) {
        log_.append(patternFailedText() + matches.failure() + "----" + now());
    }
    if (matches.truncated()) {
        log_.append(checkCappedText() + textOfInteger(matches.count()) + cappedRestText() + "----" +
                    now());
    }
}

PlanProcessor::NewMatches PlanProcessor::chooseNewMatches(const MonitorPlan& plan,
                                                          JudgementMode mode, const Text& page,
                                                          const ArticleMatches& matches) {
    const Text& region = matches.text();
    const auto all = [&] { return NewMatches{1, matches.count(), region}; };
    const Text& marker = plan[MonitorPlan::arttile];
    if (mode == JudgementMode::CompareArticleId || neverChecked(plan)) return all();

    // The marker's own article: the match whose title is the marker, nearest the newest end.
    const int tindex = integerOfText(plan[MonitorPlan::tindex]);
    int own = 0;
    for (int m = 1; m <= matches.count(); ++m) {
        if (matches.sub(m, tindex) != marker) continue;
        own = m;
        if (mode != JudgementMode::OldestFirst) break;
    }
    if (own == 0) {
        // Without any match nothing is stored either way; the line then says what it always
        // said: the marker's text is not on the page.
        if (matches.count() > 0 || findText(page, marker) < 0) log_.append(markerMissingText());
        return all();
    }
    // The region shown ends at (starts after) the title, or the whole match when it has none.
    ArticleMatches::Span at = matches.span(own, tindex);
    if (!at.matched) at = matches.span(own, 0);
    if (mode == JudgementMode::OldestFirst) {
        return NewMatches{own + 1, matches.count(), region.substr(at.position + at.length)};
    }
    return NewMatches{1, own - 1, region.substr(0, at.position)};
}

PlanProcessor::RunWrites PlanProcessor::judge(const MonitorPlan& plan, JudgementMode mode,
                                              const ArticleMatches& matches,
                                              const NewMatches& chosen) {
    TextList placeholders;
    allTextsBetween(plan[MonitorPlan::buquan], "[", "]", placeholders);
    const int tindex = integerOfText(plan[MonitorPlan::tindex]);
    const int uindex = integerOfText(plan[MonitorPlan::uindex]);
    const int oindex = integerOfText(plan[MonitorPlan::oindex]);
    // Ids compare as 64-bit numbers: ten-digit thread ids are common on large boards.
    const std::int64_t lastId = integer64OfText(plan[MonitorPlan::lastid]);
    const Text planId = sqlInteger(plan[MonitorPlan::id]);
    std::int64_t maxId = lastId;
    Text latestAddress;
    RunWrites writes;

    // Last match first, so on a newest-first page the newest article gets the highest id in info.
    for (int m = chosen.last; m >= chosen.first; --m) {
        if (mode == JudgementMode::CompareArticleId) {
            const std::int64_t articleId = integer64OfText(matches.sub(m, uindex));
            if (articleId <= lastId) continue;
            maxId = std::max(maxId, articleId);
        }
        const Text address = composeAddress(plan[MonitorPlan::buquan], placeholders, matches, m);
        latestAddress = address;
        writes.articles.push_back({plan[MonitorPlan::name], matches.sub(m, tindex), address});
        writes.statements.push_back(
            kInsertStart + sqlQuoteDoubled(plan[MonitorPlan::name]) + "'," + planId + ",'" +
            sqlEscapedText(matches.sub(m, tindex)) + "','" + sqlQuoteDoubled(address) + "','" +
            sqlEscapedText(matches.sub(m, oindex)) + "','" + now() + "',0)");
    }
    writes.inserts = static_cast<int>(writes.statements.size());
    // Stored from the last match back: the newest article of a newest-first page comes last.
    if (mode != JudgementMode::OldestFirst) {
        std::reverse(writes.articles.begin(), writes.articles.end());
    }

    // The marker for the next check: the raw title of the newest article on the page, which is
    // the first match, or the last one on an oldest-first page.
    const int newest = mode == JudgementMode::OldestFirst ? chosen.last : chosen.first;
    writes.statements.push_back(kUpdateStart + sqlQuoteDoubled(matches.sub(newest, tindex)) +
                                "',arturl='" + sqlQuoteDoubled(latestAddress) + "',lasttime='" +
                                now() + "',lastid=" + textOfInteger(maxId) + " where id=" + planId);
    return writes;
}

void PlanProcessor::record(const MonitorPlan& plan, const RunWrites& writes,
                           std::uint64_t generation, MonitorRunResult& result) {
    // One transaction: every insert and the plan update, or nothing (one failure line, one box).
    const DatabaseConnection::BatchOutcome outcome = sql_.runAll(writes.statements);
    if (!outcome.ok) {
        result.failure =
            gbk("无法写入数据库（错误代码：") + textOfInteger(outcome.errorCode) + gbk("）");
        return;
    }
    result.recordedCount = writes.inserts;
    result.planUpdated = true;
    if (writes.inserts > 0) {
        // Before the flag rises, so the round's end finds them with it.
        if (options_.roundArticles != nullptr) {
            options_.roundArticles->add(plan[MonitorPlan::name], writes.articles);
        }
        state_.newContentFound = true;
    }

    // The lines of what was stored, in order, each article's followed by the pause. The lock is
    // not held here; a stop cuts the pauses short and the remaining lines follow at once.
    bool stopped = false;
    for (std::size_t i = 0; i < writes.statements.size() - kHealthStatements; ++i) {
        log_.append(SqlRunner::successLine(writes.statements[i]));
        if (!stopped && static_cast<int>(i) < writes.inserts) {
            stopped = state_.waitUnlessStopped(options_.insertPause, generation);
        }
    }
    if (stopped) result.abandoned = true;
}

}  // namespace lumo
