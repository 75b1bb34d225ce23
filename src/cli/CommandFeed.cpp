// `feed`: an Atom feed of the latest stored articles, on standard output or into a file.
#include <unistd.h>

#include <ctime>
#include <filesystem>
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
    int brokenAfter = 3;
};

// The feed's key of the database at `path`: this host and the file's own path, so that two
// databases never share a feed id and one keeps its id from run to run.
std::string databaseKey(const std::string& path) {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(path, error);
    return AtomFeed::databaseKey(host, error ? path : canonical.string());
}

int runFeed(CliContext& context, const FeedOptions& options) {
    if (!context.openDatabase()) return context.openFailure();
    TerminalOutput& out = context.output();
    if (options.planId) {
        const QueryResult found = context.database().query("select id from rule where id=" +
                                                           textOfInteger(*options.planId));
        if (!found.ok) return context.reportFailedRead("the plan", found);
        if (found.rows.empty()) {
            out.utf8Error("lumo-cli: there is no plan with id " + std::to_string(*options.planId));
            return kExitBadInput;
        }
    }
    AtomFeed::Options feed;
    feed.planId = options.planId;
    feed.limit = options.count;
    feed.brokenAfter = options.brokenAfter;
    feed.databaseKey = databaseKey(context.databasePath());
    std::optional<std::string> made;
    QueryResult readFailure;
    try {
        made = AtomFeed::fromDatabase(context.database(), feed, std::time(nullptr), readFailure);
    } catch (const std::exception& error) {
        out.utf8Error(std::string("lumo-cli: the feed could not be written: ") + error.what());
        return kExitFailed;
    }
    // A feed without the articles that could not be read would tell readers they are gone.
    if (!made) return context.reportFailedRead("the articles", readFailure);
    std::string document = std::move(*made);
    if (!options.outputPath) {
        if (!document.empty() && document.back() == '\n') document.pop_back();
        out.utf8Line(document);
        return kExitSuccess;
    }
    const Status written = replaceFileAtomically(*options.outputPath, document);
    if (!written.ok()) {
        out.utf8Error("lumo-cli: " + *options.outputPath + " was not written: " + written.reason());
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
    command
        ->add_option("--broken-after", options->brokenAfter,
                     "A plan is broken after N failed checks in a row (default 3); each plan "
                     "broken now has an entry \"方案失效：NAME\" with the reason")
        ->check(CLI::Range(1, 1000000))
        ->type_name("N");
    command->callback([&context, options] { context.exitCode = runFeed(context, *options); });
}

}  // namespace lumo::cli
