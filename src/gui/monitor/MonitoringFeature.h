#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "base/LinkOpener.h"
#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "base/Timers.h"
#include "base/WindowThread.h"
#include "check/CutRegionSink.h"
#include "check/MonitorState.h"
#include "check/RoundArticles.h"
#include "http/PageFetcher.h"
#include "monitor/DesktopNotice.h"
#include "monitor/MonitorTimings.h"
#include "store/SqlRunner.h"

namespace lumo {

class AlertSound;
class MainWindow;
class MainWindowMonitorView;
class ModuleDesktopNotifier;
class MonitorEngine;
class NewContentNotifier;
class ProcessorPlanRunner;
class TrayIcon;
class WindowEvents;

// Monitoring on the main window: the rounds engine behind `运行` and `自动监控框`, the
// new-content alert (sound, tray icon, desktop notification), the tray icon and the window's own
// events, put together over the shared objects of the application.
//
// Window thread only.
class MonitoringFeature : public QObject {
    Q_OBJECT
public:
    struct Shared {
        MainWindow& window;
        StatusLog& log;
        SqlRunner& sql;
        MessagePresenter& messages;
        Timers& timers;
        MonitorState& state;
        PageFetcher& fetcher;
        // Where worker threads queue their window work, and the box `测试编辑框`.
        WindowThread& windowThread;
        CutRegionSink& cutRegion;
    };
    struct Hooks {
        // The application's list loaders, run after a round that stored new articles.
        std::function<void()> loadLatestArticles;
        std::function<void()> loadPlanList;
        // Ends the program with exit code 0 ("退出").
        std::function<void()> quit;
        // Whether the desktop has a notification area; the platform's answer when empty.
        std::function<bool()> trayAvailable;
        // Opens the article of a desktop notification.
        LinkOpener* links = nullptr;
        // Desktop notifications; the session bus's notification service when null.
        DesktopNotifier* desktop = nullptr;
    };

    MonitoringFeature(Shared shared, Hooks hooks, MonitorTimings timings);
    ~MonitoringFeature() override;

    // Puts the normal icon with its tip into the notification area (start-up).
    void showTrayIcon();

    // For the program's end: stops monitoring, cuts a fetch under way short and waits a few
    // seconds at most for the worker, so the database can close under no statement.
    void shutdown();

    // From the next check on, a plan is broken after `brokenAfter` (at least 1) failed checks in
    // a row.
    void setBrokenAfter(int brokenAfter);

    // Shows the window in front, as a click on the tray icon does.
    void showWindow();

    MonitorEngine& engine() { return *engine_; }
    NewContentNotifier& notifier() { return *notifier_; }
    TrayIcon& trayIcon() { return *tray_; }
    AlertSound& alertSound() { return *sound_; }

private:
    Shared shared_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<AlertSound> sound_;
    std::unique_ptr<MainWindowMonitorView> view_;
    RoundArticles roundArticles_;
    std::unique_ptr<ModuleDesktopNotifier> ownDesktop_;
    std::unique_ptr<NewContentNotifier> notifier_;
    class PlanListRefresh;
    std::unique_ptr<PlanListRefresh> healthRefresh_;
    std::unique_ptr<ProcessorPlanRunner> runner_;
    std::unique_ptr<MonitorEngine> engine_;
    std::unique_ptr<WindowEvents> windowEvents_;
};

}  // namespace lumo
