#pragma once

#include <CLI/CLI.hpp>

#include "cli/CliContext.h"

// The subcommands of lumo-cli, one function each: it adds the subcommand with its options to
// `app`, and its callback runs the command and leaves the exit status in `context`. A new
// subcommand is one more function here and one more line in CliApplication.
namespace lumo::cli {

void addPlansCommand(CLI::App& app, CliContext& context);
// `plans export` and `plans import`, under the `plans` command.
void addPlanFileCommands(CLI::App& plans, CliContext& context);
void addTestCommand(CLI::App& app, CliContext& context);
void addRunCommand(CLI::App& app, CliContext& context);
void addLatestCommand(CLI::App& app, CliContext& context);
void addFavouritesCommand(CLI::App& app, CliContext& context);
void addFeedCommand(CLI::App& app, CliContext& context);
void addSqlCommand(CLI::App& app, CliContext& context);
void addInitCommand(CLI::App& app, CliContext& context);
void addSuggestCommand(CLI::App& app, CliContext& context);

}  // namespace lumo::cli
