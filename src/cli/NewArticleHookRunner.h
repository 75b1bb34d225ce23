#pragma once

#include "base/StatusLog.h"
#include "check/MonitorState.h"
#include "hooks/NewArticleCommand.h"
#include "monitor/PlanRunner.h"
#include "store/DatabaseConnection.h"

namespace lumo::cli {

// `run --on-new CMD`: after a plan's run has landed, runs the user's command once for each
// article that run stored, oldest first, with the article's `info` row.
//
// Which articles: before the run the highest `info`.`id` is noted; afterwards the rows with a
// higher id and the `planid` of the plan just run are taken. A run's inserts are one transaction,
// so they are all there or none is. The window, or another lumo-cli on the same file, stores its
// own rows meanwhile: those of other plans are left out by the plan id. Only a second program
// running the very same plan in the same moment could add rows this runner would also take; the
// file holds nothing that tells such rows apart, and that program would have found the same
// articles new.
//
// A stop (the token, or MonitorState::stopRequested) before the commands start runs none; during
// a command it cuts that command short and runs no further one. A failing or overrunning command
// is logged by NewArticleCommand and the next one runs. When `info` cannot be read before or after
// the run, no command runs for it (rather than one for every article of the plan) and `log` gets
// one line saying so.
//
// runPlan returns the inner run's outcome, or Abandoned (with the articles stored) when a stop
// came before all its commands had run.
//
// Runs on the monitoring worker; the database and the command are thread-safe.
class NewArticleHookRunner : public PlanRunner {
public:
    NewArticleHookRunner(PlanRunner& inner, DatabaseConnection& database,
                         const NewArticleCommand& command, const MonitorState& state,
                         StatusLog& log)
        : inner_(inner), database_(database), command_(command), state_(state), log_(log) {}

    PlanOutcome runPlan(const MonitorPlan& plan, int position, std::stop_token stop) override;

private:
    bool stopped(const std::stop_token& stop) const;

    PlanRunner& inner_;
    DatabaseConnection& database_;
    const NewArticleCommand& command_;
    const MonitorState& state_;
    StatusLog& log_;
};

}  // namespace lumo::cli
