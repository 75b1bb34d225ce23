#include "monitor/gui/MonitoringFeature.h"

#include <QCheckBox>
#include <QPushButton>

#include "monitor/MonitorEngine.h"
#include "monitor/NewContentNotifier.h"
#include "monitor/ProcessorPlanRunner.h"
#include "monitor/gui/AlertSound.h"
#include "monitor/gui/MainWindowMonitorView.h"
#include "monitor/gui/TestEditBoxSink.h"
#include "ui/MainWindow.h"
#include "ui/PlanEditorPage.h"
#include "ui/QtWindowThread.h"
#include "ui/TrayIcon.h"
#include "ui/WindowEvents.h"
#include "ui/WindowMenus.h"

namespace lumo {
namespace {

// How long the program's end waits for a worker whose fetch was cut short.
constexpr std::chrono::milliseconds kShutdownWait{3000};

}  // namespace

MonitoringFeature::MonitoringFeature(Shared shared, Hooks hooks, MonitorTimings timings)
    : shared_(shared) {
    MainWindow& window = shared_.window;
    tray_ = std::make_unique<TrayIcon>(window.menus->trayMenu);
    sound_ = std::make_unique<AlertSound>();
    view_ = std::make_unique<MainWindowMonitorView>(
        window, *tray_, *sound_,
        MainWindowMonitorView::Reloads{hooks.loadLatestArticles, hooks.loadPlanList});
    testEdit_ = std::make_unique<TestEditBoxSink>(window.editorPage->测试编辑框);
    notifier_ = std::make_unique<NewContentNotifier>(*view_, shared_.log, shared_.state);
    windowThread_ = std::make_unique<QtWindowThread>();
    runner_ = std::make_unique<ProcessorPlanRunner>(shared_.fetcher, shared_.sql, shared_.log,
                                                    shared_.messages, *testEdit_, shared_.state,
                                                    timings.insertPause);
    MonitorEngine::Options options;
    options.timings = timings;
    options.windowThread = windowThread_.get();
    engine_ = std::make_unique<MonitorEngine>(*view_, *notifier_, shared_.log, shared_.messages,
                                              shared_.timers, shared_.state, *runner_, options);
    windowEvents_ = std::make_unique<WindowEvents>(
        window, *tray_, shared_.messages,
        WindowEvents::Hooks{[this](bool on) { notifier_->notifyNewContent(on); }, hooks.quit,
                            hooks.trayAvailable});

    connect(window.运行, &QPushButton::clicked, this, [this] { engine_->onRunClicked(); });
    connect(window.自动监控框, &QCheckBox::clicked, this,
            [this] { engine_->onAutoMonitorClicked(); });
}

MonitoringFeature::~MonitoringFeature() {
    windowEvents_.reset();
    shutdown();
}

void MonitoringFeature::showTrayIcon() {
    tray_->show(TrayIconKind::Normal);
}

void MonitoringFeature::shutdown() {
    if (!engine_) return;
    shared_.fetcher.cancelAll();
    engine_->shutdown(kShutdownWait);
}

}  // namespace lumo
