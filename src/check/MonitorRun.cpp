#include "check/MonitorRun.h"

#include <algorithm>

#include "base/GbkCodec.h"
#include "base/TextCutting.h"
#include "base/TextOps.h"
#include "check/ArticleMatches.h"
#include "check/CheckReasons.h"
#include "check/JudgementMode.h"
#include "check/PlanPage.h"
#include "http/FetchHeaders.h"
#include "store/BusyCode.h"
#include "store/SqlValues.h"

namespace lumo {
namespace {

const Text& markerMissingText() {
    static const Text text = gbk("出错！无法在源码中找到最后文章标记！");
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
Text healthNotStoredLine(int errorCode, const Text& now) {
    return gbk("\r\n出错！方案的检查结果无法记录（错误代码：") + textOfInteger(errorCode) +
           gbk("）----") + now;
}
const Text& closingStart() {
    static const Text text = gbk("\r\n任务");
    return text;
}
const Text& closingEnd() {
    static const Text text = gbk("已结束----");
    return text;
}

// Busy when another connection held the lock (SQLITE_BUSY, SQLITE_LOCKED), else Failed; SQLite's
// code as the code, and in the words.
Status writeFailure(int errorCode) {
    return Status::failure(isBusyCode(errorCode) ? Status::Kind::Busy : Status::Kind::Failed,
                           gbk("无法写入数据库（错误代码：") + textOfInteger(errorCode) + gbk("）"),
                           errorCode);
}

const Text kInsertStart =
    "insert into info(planname,planid,title,url,other,addtime,issoucang) values('";
const Text kUpdateStart = "update rule set arttile='";

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

MonitorRun::MonitorRun(PageSource& pages, SqlRunner& sql, StatusLog& log, CutRegionSink& cutRegion,
                       MonitorState& state)
    : MonitorRun(pages, sql, log, cutRegion, state, Options{}) {}

MonitorRun::MonitorRun(PageSource& pages, SqlRunner& sql, StatusLog& log, CutRegionSink& cutRegion,
                       MonitorState& state, Options options)
    : pages_(pages),
      sql_(sql),
      log_(log),
      cutRegion_(cutRegion),
      state_(state),
      options_(std::move(options)) {}

Text MonitorRun::now() const {
    return nowText(options_.clock);
}

MonitorRunResult MonitorRun::run(MonitorPlan plan, int position) {
    MonitorRunResult result;
    const std::uint64_t generation = state_.stopGeneration();
    const auto stopped = [&] {
        if (state_.stoppedSince(generation)) result.abandoned = true;
        return result.abandoned;
    };
    if (stopped()) return result;
    FetchNote note;
    const Text page = PlanPage::fetchText(pages_, log_, plan, now(), note);
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
        result.status =
            emptyRegionFailure(page, note, plan[MonitorPlan::before], plan[MonitorPlan::after]);
    }
    if (chosen.cut.empty()) log_.append(withReason(PlanPage::emptyRegionLine(), result.status));
    cutRegion_.showCutRegion(chosen.cut);
    logMatchProblems(matches, result);
    if (result.status.ok()) logPageProblems(matches, note, result);
    result.matchCount = std::max(0, chosen.last - chosen.first + 1);

    const Text planId = plan[MonitorPlan::id];
    const std::optional<PlanHealthRecord> before = healthBefore(planId, result);
    if (result.matchCount > 0) {
        storeWithHealth(plan, mode, matches, chosen, generation, before, result);
        if (result.abandoned) return result;
    }
    if (stopped()) return result;
    if (!result.health) recordHealthAlone(planId, before, result);
    if (options_.writesHeldHealth && options_.pendingHealth != nullptr) {
        writeHeldHealth(*options_.pendingHealth, sql_, log_, options_.clock);
    }

    log_.append(closingStart() + textOfInteger(position) + closingEnd() + now());
    state_.workerBusy = false;
    return result;
}

void MonitorRun::storeWithHealth(const MonitorPlan& plan, JudgementMode mode,
                                 const ArticleMatches& matches, const NewMatches& chosen,
                                 std::uint64_t generation,
                                 const std::optional<PlanHealthRecord>& before,
                                 MonitorRunResult& result) {
    RunWrites writes = judge(plan, mode, matches, chosen);
    if (state_.stoppedSince(generation)) {
        result.abandoned = true;
        return;
    }
    const Text planId = plan[MonitorPlan::id];
    const Text outcome = !result.status.ok()  ? PlanHealth::kFailed
                         : writes.inserts > 0 ? PlanHealth::kNewArticles
                                              : PlanHealth::kNothingNew;
    const Text checkedAt = now();
    const HealthWrite health = healthWrite(planId, outcome, result.status.reason(), checkedAt);
    writes.statements.insert(writes.statements.end(), health.statements.begin(),
                             health.statements.end());
    writes.healthStatements = health.statements.size();
    record(plan, writes, generation, result);
    if (result.planUpdated) {
        result.health =
            PlanHealth::after(before, planId, outcome, result.status.reason(), checkedAt);
    } else {
        holdAgain(planId, health);
    }
}

std::optional<PlanHealthRecord> MonitorRun::healthBefore(const Text& planId,
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

void MonitorRun::recordHealthAlone(const Text& planId,
                                   const std::optional<PlanHealthRecord>& before,
                                   MonitorRunResult& result) {
    const Text outcome = result.status.ok() ? PlanHealth::kNothingNew : PlanHealth::kFailed;
    const Text& reason = result.status.reason();
    const Text checkedAt = now();
    const bool steady = outcome == PlanHealth::kNothingNew && result.failuresBefore == 0;
    if (steady && options_.pendingHealth != nullptr) {
        options_.pendingHealth->hold(
            planId, PlanHealth::recordStatement(planId, outcome, reason, checkedAt));
        result.health = PlanHealth::after(before, planId, outcome, reason, checkedAt);
        return;
    }
    const HealthWrite health = healthWrite(planId, outcome, reason, checkedAt);
    const DatabaseConnection::BatchOutcome stored = sql_.database().executeAll(health.statements);
    if (stored.ok) {
        result.health = PlanHealth::after(before, planId, outcome, reason, checkedAt);
        return;
    }
    holdAgain(planId, health);
    logHealthNotStored(stored.errorCode);
}

MonitorRun::HealthWrite MonitorRun::healthWrite(const Text& planId, const Text& outcome,
                                                const Text& reason, const Text& checkedAt) {
    HealthWrite write{{PlanHealth::createTableStatement()}, std::nullopt};
    if (options_.pendingHealth != nullptr) write.held = options_.pendingHealth->take(planId);
    if (write.held) write.statements.push_back(*write.held);
    write.statements.push_back(PlanHealth::recordStatement(planId, outcome, reason, checkedAt));
    return write;
}

void MonitorRun::holdAgain(const Text& planId, const HealthWrite& write) {
    if (write.held) options_.pendingHealth->restore(planId, *write.held);
}

DatabaseConnection::BatchOutcome MonitorRun::writeHeldHealth(PendingHealth& pending, SqlRunner& sql,
                                                             StatusLog& log, const Clock& clock) {
    DatabaseConnection::BatchOutcome stored = pending.write(sql.database());
    if (!stored.ok) log.append(healthNotStoredLine(stored.errorCode, nowText(clock)));
    return stored;
}

void MonitorRun::logHealthNotStored(int errorCode) {
    log_.append(healthNotStoredLine(errorCode, now()));
}

void MonitorRun::logPageProblems(const ArticleMatches& matches, const FetchNote& note,
                                 MonitorRunResult& result) {
    // A search its bound cut off fails the check even when it found some articles first.
    if (matches.count() == 0 || matches.failed()) {
        result.status = noMatchFailure(matches.failure(), note.status);
        // A refused or cut-off pattern has had its own line.
        if (!matches.failed()) {
            log_.append(errorLineStart() + result.status.reason() + "----" + now());
        }
    } else if (note.status >= 400) {
        result.status = errorStatusFailure(note.status);
        log_.append(errorLineStart() + result.status.reason() + statusBodyUsedText() + "----" +
                    now());
    }
}

void MonitorRun::logMatchProblems(const ArticleMatches& matches, MonitorRunResult& result) {
    result.patternStatus = matches.failure();
    if (matches.failed()) {
        log_.append(patternFailedText() + matches.failure().reason() + "----" + now());
    }
    if (matches.truncated()) {
        log_.append(checkCappedText() + textOfInteger(matches.count()) + cappedRestText() + "----" +
                    now());
    }
}

MonitorRun::NewMatches MonitorRun::chooseNewMatches(const MonitorPlan& plan, JudgementMode mode,
                                                    const Text& page,
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

MonitorRun::RunWrites MonitorRun::judge(const MonitorPlan& plan, JudgementMode mode,
                                        const ArticleMatches& matches, const NewMatches& chosen) {
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

void MonitorRun::record(const MonitorPlan& plan, const RunWrites& writes, std::uint64_t generation,
                        MonitorRunResult& result) {
    // One transaction: every insert and the plan update, or nothing (one failure line, one box).
    const DatabaseConnection::BatchOutcome outcome = sql_.runAll(writes.statements);
    if (!outcome.ok) {
        result.status = writeFailure(outcome.errorCode);
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
    for (std::size_t i = 0; i < writes.statements.size() - writes.healthStatements; ++i) {
        log_.append(SqlRunner::successLine(writes.statements[i]));
        if (!stopped && static_cast<int>(i) < writes.inserts) {
            stopped = state_.waitUnlessStopped(options_.insertPause, generation);
        }
    }
    if (stopped) result.abandoned = true;
}

}  // namespace lumo
