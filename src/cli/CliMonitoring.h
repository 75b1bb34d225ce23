#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/AsioMainThread.h"
#include "cli/AsioTimers.h"
#include "cli/CliHealthReporter.h"
#include "cli/LazyPageFetcher.h"
#include "cli/NewArticleHookRunner.h"
#include "cli/TerminalAlertSurface.h"
#include "cli/TerminalMessagePresenter.h"
#include "cli/TerminalMonitorView.h"
#include "cli/TerminalOutput.h"
#include "cli/TerminalStatusLog.h"
#include "monitor/MonitorEngine.h"
#include "monitor/NewContentNotifier.h"
#include "monitor/ProcessorPlanRunner.h"
#include "store/SqlRunner.h"
#include "suggest/NullCutRegionSink.h"

namespace lumo::cli {

// Monitoring on the command line: the core's MonitorEngine, ProcessorPlanRunner and
// NewContentNotifier over terminal implementations of the window's services, driven by an asio
// io_context on the main thread. The rounds, waits and log lines are the engine's own; the log
// goes to standard output (only errors, to standard error, with `quiet`), each plan run is
// announced by one line (announcePlan), and after a round that stored articles each new article is
// written as a tab-separated line of the latest-articles columns. With `onNewArticle`, each plan
// run is followed by the user's command for every article it stored (NewArticleHookRunner); the
// command's failures go to standard error.
//
// SIGINT and SIGTERM act as the click on `运行` that stops monitoring: standard output is closed
// to further writes, the fetch under way is cut short, and the worker gets `stopWait` to end.
//
// Main thread only; one run() per object.
class CliMonitoring {
public:
    struct Settings {
        std::vector<Text> planIds;  // the plans, as ids of `rule` (digits only), in list order
        Text frequency = "300";     // seconds between rounds, as typed
        bool repeat = false;        // a round every `frequency` seconds, else a single round
        bool quiet = false;
        MonitorTimings timings;
        std::chrono::milliseconds stopWait{1500};
        // `--on-new`: the command for each new article (UTF-8), and its time limit.
        std::optional<std::string> onNewArticle;
        std::chrono::milliseconds onNewArticleTimeLimit = NewArticleCommand::kDefaultTimeLimit;
        // A plan is broken after this many failed checks in a row; `--on-broken`: the command
        // run when one becomes so (UTF-8).
        int brokenAfter = ProcessorPlanRunner::kDefaultBrokenAfter;
        std::optional<std::string> onBroken;
    };

    CliMonitoring(DatabaseConnection& database, TerminalOutput& output, Settings settings);
    ~CliMonitoring();
    CliMonitoring(const CliMonitoring&) = delete;
    CliMonitoring& operator=(const CliMonitoring&) = delete;

    // Runs until monitoring ends by itself or a stop signal arrives. kExitBadInput when the engine
    // refused to start (its message has been shown), kExitBusy or kExitFailed when the stored
    // articles could not be read at the start (nothing ran), kExitCheckFailed when a single round
    // ended with a plan's check failed, else kExitSuccess. Ends the process
    // itself when a stopped worker does not end in time, so nothing is torn down under it.
    int run();

private:
    void onMonitoringEnded();
    // "\r\n任务<n>/<count>：<name>（<id>）<address>": which plan a run is about, so a long `run`
    // shows what it is doing.
    void announcePlan(int position, int count, const MonitorPlan& plan);
    void onStopSignal(const boost::system::error_code& error);
    // The steady checks' records of a round the stop cut short; standard output is sealed by
    // then, so a failure is said on standard error.
    void writeHeldHealth();
    void reportNewArticles();
    std::optional<Text> highestArticleId();

    DatabaseConnection& database_;
    TerminalOutput& output_;
    Settings settings_;
    Text lastReportedId_;

    boost::asio::io_context context_;
    boost::asio::signal_set signals_;
    AsioTimers timers_;
    AsioMainThread mainThread_;
    TerminalStatusLog log_;
    TerminalMessagePresenter messages_;
    SqlRunner sql_;
    MonitorState state_;
    LazyPageFetcher fetcher_;
    // The region a run cut out goes to the editor's box in the window; a terminal has none.
    NullCutRegionSink cutRegion_;
    std::unique_ptr<StatusLog> brokenCommandLog_;
    std::unique_ptr<NewArticleCommand> brokenCommand_;
    std::unique_ptr<CliHealthReporter> health_;
    std::unique_ptr<ProcessorPlanRunner> runner_;
    std::unique_ptr<TerminalStatusLog> commandLog_;
    std::unique_ptr<NewArticleCommand> newArticleCommand_;
    std::unique_ptr<NewArticleHookRunner> hooks_;
    TerminalAlertSurface alerts_;
    std::unique_ptr<NewContentNotifier> notifier_;
    std::unique_ptr<TerminalMonitorView> view_;
    std::unique_ptr<MonitorEngine> engine_;
    int readFailureExit_ = 0;
    bool stopped_ = false;
    bool workerEnded_ = true;
};

}  // namespace lumo::cli
