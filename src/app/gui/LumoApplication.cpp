#include "app/gui/LumoApplication.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>

#include "app/GbkCodec.h"
#include "articles/gui/ArticleViews.h"
#include "monitor/gui/MonitoringFeature.h"
#include "plans/gui/PlanList.h"
#include "plans/gui/PlanManagement.h"
#include "skin/ModuleImageLoader.h"
#include "skin/SkinBinding.h"
#include "skin/SkinEngineCaller.h"
#include "skin/gui/EmbeddedSkin.h"
#include "skin/gui/StyleSheetSkin.h"
#include "store/SqlRunner.h"
#include "store/gui/SqlConsole.h"
#include "ui/MainWindow.h"
#include "ui/QtLinkOpener.h"
#include "ui/QtMessagePresenter.h"
#include "ui/QtTimers.h"
#include "ui/QtWindowThread.h"
#include "ui/SettingsPage.h"
#include "ui/StatusLogBox.h"
#include "ui/WelcomePage.h"
#include "web/PageFetcher.h"

// The embedded assets live in a static library; make sure the linker keeps them.
static void initialiseResources() {
    Q_INIT_RESOURCE(lumo);
}

namespace lumo {
namespace {
// How long a list query of the window waits for a lock held elsewhere.
constexpr int kListBusyTimeoutMs = 100;
}  // namespace

LumoApplication::LumoApplication(Options options) : options_(std::move(options)) {
    initialiseResources();
    // The shared state: the closed connection, the message boxes, the window-thread services.
    if (options_.messages == nullptr) {
        ownMessages_ = std::make_unique<QtMessagePresenter>();
        messages_ = ownMessages_.get();
    } else {
        messages_ = options_.messages;
    }
    windowThread_ = std::make_unique<QtWindowThread>();
    timers_ = std::make_unique<QtTimers>();
    pageFetcher_ = std::make_unique<PageFetcher>();
    skinEngine_ = std::make_unique<ModuleImageLoader>();
    // Shutdown runs once whichever way the process ends.
    if (QCoreApplication::instance() != nullptr) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &LumoApplication::shutdownApplication);
    }
}

LumoApplication::~LumoApplication() {
    shutdownApplication();
}

QString LumoApplication::databasePath() const {
    return options_.programDir + "/lumo.sdb";
}

void LumoApplication::start() {
    // The skin engine image; whatever the outcome, the skin binding decides how the skin is drawn.
    skinEngine_->loadImage(embeddedSkinEngineImage());
    // The window may live hidden in the tray: closing a message box meanwhile must not end the
    // program. It ends by closing the main window or through "退出".
    QGuiApplication::setQuitOnLastWindowClosed(false);
    window_ = std::make_unique<MainWindow>();
    statusLog_ = std::make_unique<StatusLogBox>(window_->状态);
    sqlRunner_ = std::make_unique<SqlRunner>(database_, *statusLog_, *messages_);
    sqlConsole_ = std::make_unique<SqlConsole>(
        window_->settingsPage->sql框, window_->settingsPage->按钮_执行SQL, *sqlRunner_, *messages_);
    LinkOpener* links = options_.links;
    if (links == nullptr) {
        ownLinks_ = std::make_unique<QtLinkOpener>();
        links = ownLinks_.get();
    }
    articleViews_ = std::make_unique<ArticleViews>(*window_, listDatabase_, *sqlRunner_,
                                                   *statusLog_, *messages_, *links);
    PlanManagement::Options planOptions;
    planOptions.listDatabase = &listDatabase_;
    plans_ = std::make_unique<PlanManagement>(*window_, database_, *sqlRunner_, *statusLog_,
                                              *messages_, std::move(planOptions));
    monitoring_ = std::make_unique<MonitoringFeature>(
        MonitoringFeature::Shared{*window_, *statusLog_, *sqlRunner_, *messages_, *timers_,
                                  monitorState_, *pageFetcher_},
        MonitoringFeature::Hooks{[this] { loadLatestArticles(); }, [this] { loadPlanList(); },
                                 [] { QCoreApplication::exit(0); }, options_.trayAvailable},
        options_.monitorTimings);
    connect(window_.get(), &MainWindow::closing, this, [] { QCoreApplication::quit(); });
    window_->centreOnScreen();
    window_->welcomePage->openWelcomePage();
    onMainWindowCreated();
    window_->show();
}

void LumoApplication::onMainWindowCreated() {
    attachSkin();
    showTrayIcon();
    const QString path = databasePath();
    // A directory of that name counts as found, as a find-first-file lookup would.
    if (!QFileInfo::exists(path)) {
        static const Text kMissing = gbk("数据库文件不存在！");
        static const Text kCaption = gbk("错误");
        messages_->showMessage(kMissing, kCaption);
        window_->运行->setEnabled(false);
        return;
    }
    const QByteArray localPath = QFile::encodeName(path);
    const Text local(localPath.constData(), static_cast<std::size_t>(localPath.size()));
    database_.open(local);
    listDatabase_.open(local, kListBusyTimeoutMs);
    loadLatestArticles();
    loadPlanList();
    loadFavourites();
}

void LumoApplication::attachSkin() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (application == nullptr) return;
    skinData_ = embeddedSkinData();
    StyleSheetSkin ownSkin(*application);
    const std::unique_ptr<SkinEngineCaller> engineCaller = SkinEngineCaller::createNative();
    SkinBinding(*skinEngine_, *engineCaller, ownSkin).attach(skinData_);
}

void LumoApplication::showTrayIcon() {
    monitoring_->showTrayIcon();
}

void LumoApplication::loadLatestArticles() {
    articleViews_->loadLatestArticles();
}

void LumoApplication::loadPlanList() {
    plans_->planList().loadPlanList();
}

PlanList& LumoApplication::planList() {
    return plans_->planList();
}

void LumoApplication::loadFavourites() {
    articleViews_->loadFavourites();
}

void LumoApplication::shutdownApplication() {
    if (shutDown_) return;
    shutDown_ = true;
    // A worker waiting for a message box is let go, and asks for no further box.
    if (ownMessages_) ownMessages_->closeAll();
    // No monitoring worker may be using the connection when it closes.
    if (monitoring_) monitoring_->shutdown();
    monitorState_.checkedRows.clear();
    database_.close();
    listDatabase_.close();
    skinEngine_.reset();
    emit shutDownDone();
}

}  // namespace lumo
