// `run`: monitoring rounds over the ticked plans or the given ones.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "base/TextOps.h"
#include "cli/CliMonitoring.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "plans/PlanListRules.h"

namespace lumo::cli {
namespace {

// For tests only: shortened waits, "heartbeat,gap,perSecond,insertPause" in milliseconds
// (e.g. "100,50,10,5"), so a round every 60 "seconds" takes 600 ms. Not for users: the program's
// waits are those of the window.
constexpr const char* kTestTimingsVariable = "LUMO_CLI_TEST_TIMINGS";

struct RunOptions {
    std::vector<int> planIds;
    int every = 0;
    bool everyGiven = false;
    bool quiet = false;
    std::optional<std::string> onNew;
    double onNewTimeout = 30;
    int brokenAfter = ProcessorPlanRunner::kDefaultBrokenAfter;
    std::optional<std::string> onBroken;
};

// Refuses "nan", "inf" and the like, which a range check lets through (NaN compares false with
// both of its bounds).
CLI::Validator finiteNumber() {
    return CLI::Validator(
        [](std::string& input) -> std::string {
            double value = 0;
            if (!CLI::detail::lexical_cast(input, value) || !std::isfinite(value)) {
                return "Value " + input + " is not a finite number";
            }
            return {};
        },
        "FINITE");
}

MonitorTimings timingsFromEnvironment() {
    MonitorTimings timings;
    const char* text = std::getenv(kTestTimingsVariable);
    if (text == nullptr) return timings;
    std::istringstream in(text);
    std::chrono::milliseconds* fields[] = {&timings.heartbeat, &timings.gap,
                                           &timings.perSecondOfFrequency, &timings.insertPause};
    for (std::chrono::milliseconds* field : fields) {
        long long value = 0;
        char comma = 0;
        if (!(in >> value) || value < 0) break;
        *field = std::chrono::milliseconds(value);
        in >> comma;
    }
    return timings;
}

// The ids of the plans to run: the given ones in the order of the plan list, else the ticked
// ones. An id that is not in `rule` is refused with its number. kExitSuccess, or the exit status
// of the refusal.
int choosePlans(CliContext& context, const RunOptions& options, std::vector<Text>& chosen) {
    const QueryResult plans = context.database().query(kPlanListQuery);
    if (!plans.ok) return context.reportFailedRead("the plans", plans);
    std::set<int> known;
    for (const TextList& row : plans.rows) {
        if (!row.empty()) known.insert(integerOfText(row[MonitorPlan::id]));
    }
    for (const int id : options.planIds) {
        if (known.count(id) == 0) {
            context.output().utf8Error("lumo-cli: there is no plan with id " + std::to_string(id));
            return kExitBadInput;
        }
    }
    const std::set<int> wanted(options.planIds.begin(), options.planIds.end());
    for (const TextList& row : plans.rows) {
        if (row.empty()) continue;
        const int id = integerOfText(row[MonitorPlan::id]);
        const bool take = wanted.empty() ? planRowLoadsTicked(row) : wanted.count(id) > 0;
        if (take) chosen.push_back(textOfInteger(id));
    }
    return kExitSuccess;
}

int runMonitoring(CliContext& context, const RunOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    CliMonitoring::Settings settings;
    if (const int refused = choosePlans(context, options, settings.planIds)) return refused;
    if (options.everyGiven) {
        settings.frequency = textOfInteger(options.every);
        settings.repeat = true;
    }
    settings.quiet = options.quiet;
    settings.timings = timingsFromEnvironment();
    settings.onNewArticle = options.onNew;
    settings.onNewArticleTimeLimit =
        std::chrono::milliseconds(static_cast<long long>(options.onNewTimeout * 1000));
    settings.brokenAfter = options.brokenAfter;
    settings.onBroken = options.onBroken;
    CliMonitoring monitoring(context.database(), context.output(), settings);
    return monitoring.run();
}

}  // namespace

void addRunCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<RunOptions>();
    CLI::App* command = app.add_subcommand(
        "run",
        "Monitor: one round over the ticked plans (or those of --plans), or with --every a round "
        "every SECONDS (at least 60). The log goes to standard output; each new article is "
        "written as a tab-separated line. SIGINT or SIGTERM stops monitoring (exit 0)");
    command
        ->add_option("--plans", options->planIds,
                     "Run these plans (ids, separated by commas) instead of the ticked ones")
        ->delimiter(',')
        ->type_name("ID");
    CLI::Option* every =
        command->add_option("--every", options->every, "Repeat a round every SECONDS (>= 60)")
            ->type_name("SECONDS");
    command->add_flag("--quiet,-q", options->quiet,
                      "Write only the new articles (and errors, to standard error)");
    CLI::Option* onNew =
        command
            ->add_option(
                "--on-new", options->onNew,
                "After a plan's run has stored articles, run CMD through /bin/sh -c once for "
                "each of them, oldest first. The article is in the environment, never in "
                "the command line: LUMO_PLAN_ID, LUMO_PLAN_NAME, LUMO_TITLE, LUMO_URL, "
                "LUMO_OTHER, LUMO_ARTICLE_ID (UTF-8). A command that fails or overruns is "
                "reported on standard error and ended; monitoring goes on")
            ->type_name("CMD");
    command
        ->add_option("--on-new-timeout", options->onNewTimeout,
                     "End a --on-new command still running after SECONDS (default 30)")
        ->check(finiteNumber() & CLI::Range(0.1, 86400.0))
        ->needs(onNew)
        ->type_name("SECONDS");
    command
        ->add_option("--broken-after", options->brokenAfter,
                     "A plan is broken after N failed checks in a row (default 3); the change, "
                     "and the recovery at its next successful check, are logged once")
        ->check(CLI::Range(1, 1000000))
        ->type_name("N");
    command
        ->add_option("--on-broken", options->onBroken,
                     "When a plan becomes broken, run CMD through /bin/sh -c once, with the plan "
                     "in the environment: LUMO_PLAN_ID, LUMO_PLAN_NAME, LUMO_PLAN_URL, "
                     "LUMO_REASON, LUMO_FAILURES, LUMO_FAILING_SINCE (UTF-8); as --on-new's "
                     "commands, it is ended after 30 seconds")
        ->type_name("CMD");
    command->callback([&context, options, every] {
        options->everyGiven = every->count() > 0;
        context.exitCode = runMonitoring(context, *options);
    });
}

}  // namespace lumo::cli
