// `feed`: an Atom feed of the latest stored articles, on standard output or into a file.
#include <ctime>
#include <memory>
#include <optional>

#include "base/AtomicFile.h"
#include "base/TextOps.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "feed/AtomFeed.h"

namespace lumo::cli {
namespace {

struct FeedOptions {
    std::optional<long long> planId;
    int count = 100;
    std::optional<std::string> outputPath;
};

bool planExists(CliContext& context, long long planId) {
    const QueryResult found =
        context.database().query("select id from rule where id=" + textOfInteger(planId));
    return !found.rows.empty();
}

int runFeed(CliContext& context, const FeedOptions& options) {
    if (!context.openDatabase()) return kExitBadInput;
    TerminalOutput& out = context.output();
    if (options.planId && !planExists(context, *options.planId)) {
        out.utf8Error("lumo-cli: there is no plan with id " + std::to_string(*options.planId));
        return kExitBadInput;
    }
    AtomFeed::Options feed;
    feed.planId = options.planId;
    feed.limit = options.count;
    std::string document;
    try {
        document = AtomFeed::fromDatabase(context.database(), feed, std::time(nullptr));
    } catch (const std::exception& error) {
        out.utf8Error(std::string("lumo-cli: the feed could not be written: ") + error.what());
        return kExitFailed;
    }
    if (!options.outputPath) {
        if (!document.empty() && document.back() == '\n') document.pop_back();
        out.utf8Line(document);
        return kExitSuccess;
    }
    const std::string failure = replaceFileAtomically(*options.outputPath, document);
    if (!failure.empty()) {
        out.utf8Error("lumo-cli: " + *options.outputPath + " was not written: " + failure);
        return kExitFailed;
    }
    return kExitSuccess;
}

}  // namespace

void addFeedCommand(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<FeedOptions>();
    CLI::App* command = app.add_subcommand(
        "feed",
        "Write an Atom feed (UTF-8) of the latest stored articles, newest first, to standard "
        "output or, with -o, into FILE, which is replaced whole (a reader never sees part of it)");
    command->add_option("--plan", options->planId, "Only this plan's articles")->type_name("ID");
    command->add_option("-n", options->count, "The newest N articles (1 to 10000, default 100)")
        ->check(CLI::Range(1, 10000))
        ->type_name("N");
    command->add_option("-o,--output", options->outputPath, "Write the feed into FILE")
        ->type_name("FILE");
    command->callback([&context, options] { context.exitCode = runFeed(context, *options); });
}

}  // namespace lumo::cli
