#include "gui/monitor/MonitoringFeature.h"

#include <QCheckBox>
#include <QPushButton>

#include "gui/modules/ModuleFolders.h"
#include "gui/monitor/AlertSound.h"
#include "gui/monitor/MainWindowMonitorView.h"
#include "gui/monitor/ModuleDesktopNotifier.h"
#include "gui/monitor/TrayIcon.h"
#include "gui/monitor/WindowEvents.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/WindowMenus.h"
#include "monitor/MonitorEngine.h"
#include "monitor/NewContentNotifier.h"
#include "monitor/PlanHealthNotice.h"
#include "monitor/ProcessorPlanRunner.h"

namespace lumo {
namespace {

// How long the program's end waits for a worker whose fetch was cut short.
constexpr std::chrono::milliseconds kShutdownWait{3000};

}  // namespace

// A plan that became broken or recovered: the alert as for new articles, a desktop notification
// of the change, and the plan list is read again, so its row shows it.
class MonitoringFeature::PlanListRefresh : public PlanHealthObserver {
public:
    using Report = std::function<void(const DesktopNotice&)>;
    PlanListRefresh(WindowThread& thread, Report report)
        : thread_(thread), report_(std::move(report)) {}
    void checkEnded(const MonitorPlan& plan, const MonitorRunResult& result,
                    HealthChange change) override {
        if (change == HealthChange::None || !result.health) return;
        thread_.post([report = report_, notice = planHealthNotice(plan, *result.health, change)] {
            report(notice);
        });
    }

private:
    WindowThread& thread_;
    Report report_;
};

MonitoringFeature::MonitoringFeature(Shared shared, Hooks hooks, MonitorTimings timings)
    : shared_(shared) {
    MainWindow& window = shared_.window;
    tray_ = std::make_unique<TrayIcon>(window.menus->trayMenu);
    sound_ = std::make_unique<AlertSound>();
    view_ = std::make_unique<MainWindowMonitorView>(
        window, *tray_, *sound_,
        MainWindowMonitorView::Reloads{hooks.loadLatestArticles, hooks.loadPlanList});
    DesktopNotifier* desktop = hooks.desktop;
    if (desktop == nullptr) {
        LinkOpener* links = hooks.links;
        ownDesktop_ = std::make_unique<ModuleDesktopNotifier>(
            moduleFolders(),
            [links](const Text& link) {
                if (links != nullptr) links->openLink(link);
            },
            [this] { windowEvents_->restore(); });
        desktop = ownDesktop_.get();
    }
    notifier_ =
        std::make_unique<NewContentNotifier>(*view_, shared_.log, shared_.state, Clock{},
                                             NewContentNotifier::Desktop{desktop, &roundArticles_});
    healthRefresh_ = std::make_unique<PlanListRefresh>(
        shared_.windowThread, [this, reload = hooks.loadPlanList](const DesktopNotice& notice) {
            notifier_->notifyPlanHealthChange();
            notifier_->notifyDesktop(notice);
            if (reload) reload();
        });
    runner_ = std::make_unique<ProcessorPlanRunner>(
        shared_.fetcher, shared_.sql, shared_.log, shared_.cutRegion, shared_.state,
        timings.insertPause,
        ProcessorPlanRunner::Health{ProcessorPlanRunner::kDefaultBrokenAfter, healthRefresh_.get()},
        &roundArticles_);
    MonitorEngine::Options options;
    options.timings = timings;
    options.windowThread = &shared_.windowThread;
    engine_ =
        std::make_unique<MonitorEngine>(*view_, *view_, *notifier_, shared_.log, shared_.messages,
                                        shared_.timers, shared_.state, *runner_, options);
    windowEvents_ = std::make_unique<WindowEvents>(
        window, *tray_, shared_.messages,
        WindowEvents::Hooks{[this](bool on) { notifier_->notifyNewContent(on); }, hooks.quit,
                            hooks.trayAvailable});

    connect(window.runButton, &QPushButton::clicked, this, [this] { engine_->onRunClicked(); });
    connect(window.autoMonitorCheck, &QCheckBox::clicked, this,
            [this] { engine_->onAutoMonitorClicked(); });
}

void MonitoringFeature::setBrokenAfter(int brokenAfter) {
    runner_->setBrokenAfter(brokenAfter);
}

void MonitoringFeature::showWindow() {
    windowEvents_->restore();
}

MonitoringFeature::~MonitoringFeature() {
    ownDesktop_.reset();
    windowEvents_.reset();
    shutdown();
}

void MonitoringFeature::showTrayIcon() {
    tray_->show(TrayIconKind::Normal);
}

void MonitoringFeature::shutdown() {
    if (!engine_) return;
    shared_.fetcher.cancelAll();
    // A round stopped before its last check leaves its steady checks' records held.
    if (engine_->shutdown(kShutdownWait)) runner_->writeHeldHealth();
}

}  // namespace lumo
