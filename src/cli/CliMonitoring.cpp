#include "cli/CliMonitoring.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "articles/ArticleList.h"
#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "cli/ExitCode.h"
#include "cli/OutputFormat.h"
#include "cli/StopSignals.h"

namespace lumo::cli {
CliMonitoring::CliMonitoring(DatabaseConnection& database, TerminalOutput& output,
                             Settings settings)
    : database_(database),
      output_(output),
      settings_(std::move(settings)),
      signals_(context_, SIGINT, SIGTERM),
      timers_(context_),
      mainThread_(context_),
      log_(output, settings_.quiet ? TerminalStatusLog::Target::ErrorsOnly
                                   : TerminalStatusLog::Target::Stdout),
      messages_(output),
      sql_(database, log_, messages_) {
    if (settings_.onBroken) {
        brokenCommandLog_ =
            std::make_unique<TerminalStatusLog>(output_, TerminalStatusLog::Target::Stderr);
        brokenCommand_ =
            std::make_unique<NewArticleCommand>(*settings_.onBroken, *brokenCommandLog_);
    }
    health_ = std::make_unique<CliHealthReporter>(brokenCommand_.get());
    runner_ = std::make_unique<ProcessorPlanRunner>(
        fetcher_, sql_, log_, cutRegion_, state_, settings_.timings.insertPause,
        ProcessorPlanRunner::Health{settings_.brokenAfter, health_.get()});
    PlanRunner* planRunner = runner_.get();
    if (settings_.onNewArticle) {
        commandLog_ =
            std::make_unique<TerminalStatusLog>(output_, TerminalStatusLog::Target::Stderr);
        newArticleCommand_ = std::make_unique<NewArticleCommand>(
            *settings_.onNewArticle, *commandLog_, settings_.onNewArticleTimeLimit);
        hooks_ = std::make_unique<NewArticleHookRunner>(*runner_, database_, *newArticleCommand_,
                                                        state_, *commandLog_);
        planRunner = hooks_.get();
    }
    notifier_ = std::make_unique<NewContentNotifier>(alerts_, log_, state_);
    view_ = std::make_unique<TerminalMonitorView>(
        database_, settings_.planIds, settings_.frequency, settings_.repeat,
        TerminalMonitorView::Hooks{[this] { reportNewArticles(); }, [this] { onMonitoringEnded(); },
                                   [this](const Text& planId, const QueryResult& failure) {
                                       output_.utf8Error("lumo-cli: plan " + planId +
                                                         " could not be read: " + failure.message);
                                   },
                                   [this](int position, int count, const MonitorPlan& plan) {
                                       announcePlan(position, count, plan);
                                   }});
    MonitorEngine::Options options;
    options.timings = settings_.timings;
    // A finished plan's round goes on behind whatever its worker posted, as in the window.
    options.windowThread = &mainThread_;
    // A round ends when its last plan's run and commands have, not at the next heartbeat.
    options.noticeEndAtOnce = true;
    engine_ = std::make_unique<MonitorEngine>(*view_, *view_, *notifier_, log_, messages_, timers_,
                                              state_, *planRunner, options);
}

CliMonitoring::~CliMonitoring() {
    // The engine first: it stops and waits for its worker before what the worker uses goes.
    engine_.reset();
}

int CliMonitoring::run() {
    signals_.async_wait(
        [this](const boost::system::error_code& error, int) { onStopSignal(error); });
    // From here a stop signal is handled by the context, whenever it came.
    StopSignals::unblock();
    // Without it every stored article would count as new; nothing runs instead.
    const std::optional<Text> highest = highestArticleId();
    if (!highest) return readFailureExit_;
    lastReportedId_ = *highest;
    engine_->onRunClicked();
    if (!engine_->isRunning()) return kExitBadInput;  // the engine has said why
    context_.run();
    output_.finish();
    if (stopped_ && !workerEnded_) {
        // The stopped run has not returned yet (a statement waiting on the file, say). It writes
        // nothing more; the process ends without tearing the database down under it.
        std::fflush(nullptr);
        std::_Exit(kExitSuccess);
    }
    if (!stopped_ && !settings_.repeat && health_->anyCheckFailed()) return kExitCheckFailed;
    return kExitSuccess;
}

void CliMonitoring::onMonitoringEnded() {
    // Called inside the engine; whether it is idle is known once the call has returned.
    boost::asio::post(context_, [this] {
        if (!engine_->isRunning()) context_.stop();
    });
}

void CliMonitoring::announcePlan(int position, int count, const MonitorPlan& plan) {
    static const Text kPlan = gbk("\r\n任务");
    static const Text kColon = gbk("：");
    static const Text kOpen = gbk("（");
    static const Text kClose = gbk("）");
    log_.append(kPlan + textOfInteger(position) + "/" + textOfInteger(count) + kColon +
                plan[MonitorPlan::name] + kOpen + plan[MonitorPlan::id] + kClose +
                plan[MonitorPlan::url]);
}

void CliMonitoring::onStopSignal(const boost::system::error_code& error) {
    if (error) return;
    stopped_ = true;
    // Nothing reaches standard output after the stop.
    output_.seal();
    if (engine_->isRunning()) engine_->onRunClicked();  // the stop action of `运行`
    fetcher_.cancelAll();
    workerEnded_ = engine_->shutdown(settings_.stopWait);
    if (workerEnded_) writeHeldHealth();
    context_.stop();
}

void CliMonitoring::writeHeldHealth() {
    const DatabaseConnection::BatchOutcome stored = runner_->writeHeldHealth();
    if (stored.ok) return;
    output_.utf8Error("lumo-cli: the last checks' health records could not be stored: " +
                      stored.message);
}

std::optional<Text> CliMonitoring::highestArticleId() {
    const QueryResult result = database_.query("select max(id) from info");
    if (!result.ok) {
        output_.utf8Error("lumo-cli: the stored articles could not be read: " + result.message +
                          "; monitoring did not start");
        readFailureExit_ = result.busy() ? kExitBusy : kExitFailed;
        return std::nullopt;
    }
    if (result.rows.empty() || result.rows.front().empty()) return Text("0");
    return textOfInteger(integer64OfText(result.rows.front()[0]));
}

void CliMonitoring::reportNewArticles() {
    // Only this run's plans: the window may be storing articles of its own meanwhile.
    Text planIds;
    for (const Text& id : settings_.planIds) planIds += (planIds.empty() ? "" : ",") + id;
    const QueryResult result = database_.query("select * from info where id>" + lastReportedId_ +
                                               " and planid in (" + planIds + ") order by id");
    if (!result.ok) {
        // They stay unreported, so the next round's report takes them along.
        output_.utf8Error("lumo-cli: the new articles could not be read: " + result.message +
                          "; they are written after a later round");
        return;
    }
    const ArticleList& list = ArticleList::latest();
    for (const TextList& row : result.rows) {
        output_.utf8Line(tsvLine(list.cellsOf(row)));
        lastReportedId_ = textOfInteger(integer64OfText(row[ArticleRecord::id]));
    }
}

}  // namespace lumo::cli
