// `plans` and `test`: the stored plans, and the rule test of one of them.
#include <memory>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "check/JudgementMode.h"
#include "check/RuleTest.h"
#include "check/WebPageSource.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/LazyPageFetcher.h"
#include "cli/OutputFormat.h"
#include "cli/TerminalMessagePresenter.h"
#include "cli/TerminalStatusLog.h"
#include "monitor/ProcessorPlanRunner.h"
#include "plans/PlanListRules.h"
#include "store/PlanHealth.h"
#include "suggest/NullCutRegionSink.h"

namespace lumo::cli {
namespace {

struct PlansOptions {
    bool json = false;
    int brokenAfter = PlanHealthSettings::kDefaultBrokenAfter;
};

struct TestOptions {
    int planId = 0;
    bool json = false;
};

nlohmann::json planJson(const TextList& row) {
    const MonitorPlan plan = MonitorPlan::fromRow(row);
    const JudgementMode mode = judgementModeOfText(plan[MonitorPlan::type]);
    return {{"id", integerOfText(plan[MonitorPlan::id])},
            {"name", jsonText(plan[MonitorPlan::name])},
            {"ticked", planRowLoadsTicked(row)},
            {"url", jsonText(plan[MonitorPlan::url])},
            {"mode", static_cast<int>(mode)},
            {"modeName", jsonText(judgementModeCaption(mode))},
            {"lastCheck", jsonText(plan[MonitorPlan::lasttime])},
            {"lastTitle", jsonText(plan[MonitorPlan::arttile])}};
}

// A plan's standing in one word: "broken", "failing" (failed, not yet broken), "ok", or empty
// for a plan never checked.
Text standingOf(const PlanHealthRecord* health, int brokenAfter) {
    if (health == nullptr) return Text();
    if (health->brokenAt(brokenAfter)) return "broken";
    return health->failures > 0 ? "failing" : "ok";
}

nlohmann::json healthJson(const PlanHealthRecord* health, int brokenAfter) {
    if (health == nullptr) return nullptr;
    return {{"standing", jsonText(standingOf(health, brokenAfter))},
            {"lastCheck", jsonText(health->checked)},
            {"outcome", jsonText(health->outcome)},
            {"reason", jsonText(health->reason)},
            {"failuresInARow", health->failures},
            {"failingSince", jsonText(health->failingSince)},
            {"lastSuccess", jsonText(health->lastSuccess)},
            {"lastNewArticle", jsonText(health->lastNew)}};
}

int runPlans(CliContext& context, const PlansOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    const QueryResult result = context.database().query(kPlanListQuery);
    if (!result.ok) return context.reportFailedRead("the plans", result);
    const PlanHealth::Read health = PlanHealth::read(context.database());
    if (!health.query.ok) return context.reportFailedRead("the plans' health", health.query);
    const auto healthOf = [&](const MonitorPlan& plan) -> const PlanHealthRecord* {
        const auto found = health.records.find(plan[MonitorPlan::id]);
        return found == health.records.end() ? nullptr : &found->second;
    };
    TerminalOutput& out = context.output();
    if (options.json) {
        nlohmann::json plans = nlohmann::json::array();
        for (const TextList& row : result.rows) {
            nlohmann::json entry = planJson(row);
            entry["health"] = healthJson(healthOf(MonitorPlan::fromRow(row)), options.brokenAfter);
            plans.push_back(std::move(entry));
        }
        out.utf8Line(jsonDocument(plans));
        return kExitSuccess;
    }
    out.utf8Line("id\tname\tticked\turl\tmode\tlastCheck\tlastTitle\thealth\tfailures\treason");
    for (const TextList& row : result.rows) {
        const MonitorPlan plan = MonitorPlan::fromRow(row);
        const JudgementMode mode = judgementModeOfText(plan[MonitorPlan::type]);
        const PlanHealthRecord* record = healthOf(plan);
        out.utf8Line(tsvLine({plan[MonitorPlan::id], plan[MonitorPlan::name],
                              planRowLoadsTicked(row) ? "yes" : "no", plan[MonitorPlan::url],
                              judgementModeCaption(mode), plan[MonitorPlan::lasttime],
                              plan[MonitorPlan::arttile], standingOf(record, options.brokenAfter),
                              record == nullptr ? Text() : textOfInteger(record->failures),
                              record == nullptr ? Text() : record->reason}));
    }
    return kExitSuccess;
}

void printTestResult(TerminalOutput& out, int planId, const RuleTestResult& result, bool json) {
    if (json) {
        nlohmann::json columns = nlohmann::json::array();
        for (const Text& column : result.columns) columns.push_back(jsonText(column));
        nlohmann::json rows = nlohmann::json::array();
        for (const TextList& row : result.rows) {
            nlohmann::json cells = nlohmann::json::array();
            for (const Text& cell : row) cells.push_back(jsonText(cell));
            rows.push_back(std::move(cells));
        }
        out.utf8Line(jsonDocument({{"plan", planId},
                                   {"cutLength", textLength(result.cutText)},
                                   {"cut", jsonText(result.cutText)},
                                   {"matchCount", result.matchCount},
                                   {"columns", std::move(columns)},
                                   {"rows", std::move(rows)}}));
        return;
    }
    out.utf8Line("cut length: " + std::to_string(textLength(result.cutText)) + " bytes");
    out.utf8Line(tsvLine(result.columns));
    for (const TextList& row : result.rows) out.utf8Line(tsvLine(row));
}

int runTest(CliContext& context, const TestOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    TerminalOutput& out = context.output();
    const QueryResult found =
        context.database().query("select * from rule where id=" + textOfInteger(options.planId));
    if (!found.ok) return context.reportFailedRead("the plan", found);
    if (found.rows.empty()) {
        out.utf8Error("lumo-cli: there is no plan with id " + std::to_string(options.planId));
        return kExitBadInput;
    }
    const MonitorPlan plan = MonitorPlan::fromRow(found.rows.front());
    TerminalStatusLog log(out, TerminalStatusLog::Target::Stderr);
    TerminalMessagePresenter messages(out);
    // The region is shown in the editor's box only; here it is not needed.
    NullCutRegionSink cutRegion;
    LazyPageFetcher fetcher;
    WebPageSource pages(fetcher);
    const RuleTestResult result = RuleTest(pages, log, messages, cutRegion).testPlan(plan);
    if (!result.ran) return kExitFailed;  // a blocked address; the message has been shown
    if (result.matchCount == 0) {
        // "匹配结果为0,请检查正则匹配规则!" has been shown; say why when the pattern was refused.
        if (!result.patternStatus.ok()) {
            out.utf8Error("lumo-cli: the pattern was refused: " +
                          TerminalOutput::terminalText(result.patternStatus.reason()));
        }
        return kExitFailed;
    }
    printTestResult(out, options.planId, result, options.json);
    return kExitSuccess;
}

}  // namespace

void addPlansCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<PlansOptions>();
    CLI::App* command = app.add_subcommand(
        "plans",
        "List the plans: id, name, ticked, address, judgement mode, last check, last title, "
        "health (ok, failing, broken; empty before the first check), failed checks in a row and "
        "the latest failure's reason; with export or import, share plans as JSON files");
    command->add_flag("--json", options->json,
                      "Write the list as JSON, each plan with its whole health record (null "
                      "before its first check)");
    command
        ->add_option("--broken-after", options->brokenAfter,
                     "A plan is broken after N failed checks in a row (default 3)")
        ->check(CLI::Range(1, 1000000))
        ->type_name("N");
    addPlanFileCommands(*command, context);
    // `plans` alone lists; after `plans export` or `plans import` (whose callbacks ran first)
    // there is nothing more to do.
    command->callback([&context, options, command] {
        if (!command->get_subcommands().empty()) return;
        context.exitCode = runPlans(context, *options);
    });
}

void addTestCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<TestOptions>();
    CLI::App* command = app.add_subcommand(
        "test",
        "Run the rule test of a stored plan, as the editor's button does: fetch the page, cut the "
        "region, show every match (exit 1 when nothing matches)");
    command->add_option("ID", options->planId, "The plan's id")->required();
    command->add_flag("--json", options->json, "Write the result as JSON");
    command->callback([&context, options] { context.exitCode = runTest(context, *options); });
}

}  // namespace lumo::cli
