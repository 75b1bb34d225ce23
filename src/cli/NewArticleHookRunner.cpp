#include "cli/NewArticleHookRunner.h"

#include <optional>

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::cli {
namespace {

// The highest id of `info`, "0" for an empty table; nothing when the table cannot be read
// (`failure` then says why).
std::optional<Text> highestArticleId(DatabaseConnection& database, QueryResult& failure) {
    QueryResult result = database.query("select max(id) from info");
    if (!result.ok) {
        failure = std::move(result);
        return std::nullopt;
    }
    if (result.rows.empty() || result.rows.front().empty()) return Text("0");
    return textOfInteger(integer64OfText(result.rows.front()[0]));
}

}  // namespace

bool NewArticleHookRunner::stopped(const std::stop_token& stop) const {
    return stop.stop_requested() || state_.stopRequested;
}

PlanOutcome NewArticleHookRunner::runPlan(const MonitorPlan& plan, int position,
                                          std::stop_token stop) {
    QueryResult failure;
    const std::optional<Text> before = highestArticleId(database_, failure);
    const PlanOutcome outcome = inner_.runPlan(plan, position, stop);
    if (stopped(stop)) return PlanOutcome::abandoned(outcome.newArticles);
    // The plan's id goes into the statement as a number, whatever the row holds.
    const Text planId = textOfInteger(integerOfText(plan[MonitorPlan::id]));
    QueryResult stored;
    if (before) {
        stored = database_.query("select * from info where id>" + *before +
                                 " and planid=" + planId + " order by id");
        if (!stored.ok) failure = stored;
    }
    if (!stored.ok) {
        log_.append(gbk("\r\n无法读取文章表，方案 ") + planId +
                    gbk(" 这次运行存下的新文章没有执行新文章命令（") + failure.message + gbk("）"));
        return outcome;
    }
    for (const TextList& row : stored.rows) {
        if (stopped(stop)) return PlanOutcome::abandoned(outcome.newArticles);
        command_.run(ArticleRecord::fromRow(row), stop);
    }
    return outcome;
}

}  // namespace lumo::cli
