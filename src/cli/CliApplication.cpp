#include "cli/CliApplication.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/StopSignals.h"
#include "cli/TerminalOutput.h"

namespace lumo::cli {

CliApplication::CliApplication(int argc, char** argv) : argc_(argc), argv_(argv) {}

std::string CliApplication::programDirectory(const char* argv0) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) return self.parent_path().string();
    if (argv0 == nullptr) return {};
    const std::filesystem::path given = std::filesystem::absolute(argv0, error);
    return error ? std::string() : given.parent_path().string();
}

int CliApplication::run() {
    // Held back until `run` is ready to stop in order (see StopSignals).
    StopSignals::block();
    TerminalOutput output;
    CliContext context(output, programDirectory(argc_ > 0 ? argv_[0] : nullptr));

    CLI::App app(
        "Lumo without a desktop: the plans, rule tests, monitoring rounds and article "
        "lists of lumo.sdb",
        "lumo-cli");
    app.footer(kExitCodeHelp);
    app.require_subcommand(1);
    app.add_option("--db", context.databaseOption(),
                   "The database file (default: $LUMO_DB, else lumo.sdb beside a portable "
                   "lumo-cli, or $XDG_DATA_HOME/lumo/lumo.sdb (~/.local/share/lumo/lumo.sdb) "
                   "for an installed one)");
    addPlansCommand(app, context);
    addTestCommand(app, context);
    addSuggestCommand(app, context);
    addRunCommand(app, context);
    addLatestCommand(app, context);
    addFavouritesCommand(app, context);
    addFeedCommand(app, context);
    addSqlCommand(app, context);
    addInitCommand(app, context);
    // Only `run` handles a stop signal; any other command is ended by one as usual.
    app.parse_complete_callback([&app] {
        if (app.got_subcommand("run")) return;
        StopSignals::unblock();
    });

    try {
        app.parse(argc_, argv_);
    } catch (const CLI::ParseError& error) {
        StopSignals::unblock();
        const int status = app.exit(error);
        return status == 0 ? kExitSuccess : kExitBadInput;
    }
    output.finish();
    return context.exitCode;
}

}  // namespace lumo::cli
