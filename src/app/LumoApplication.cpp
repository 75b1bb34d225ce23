#include "app/LumoApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSystemTrayIcon>

#include "app/AutostartSetting.h"
#include "base/GbkCodec.h"
#include "gui/adapters/CutRegionBox.h"
#include "gui/adapters/QtLinkOpener.h"
#include "gui/adapters/QtMessagePresenter.h"
#include "gui/adapters/QtTimers.h"
#include "gui/adapters/QtWindowThread.h"
#include "gui/adapters/StatusLogBox.h"
#include "gui/articles/ArticleViews.h"
#include "gui/modules/ModulePageFetcher.h"
#include "gui/monitor/MonitoringFeature.h"
#include "gui/monitor/WindowEvents.h"
#include "gui/plans/PlanList.h"
#include "gui/plans/PlanManagement.h"
#include "gui/skin/EmbeddedSkin.h"
#include "gui/skin/StyleSheetSkin.h"
#include "gui/store/SqlConsole.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/WelcomePage.h"
#include "monitor/MonitorEngine.h"
#include "skin/SkinBinding.h"
#include "skin/SkinEngineCaller.h"
#include "store/DatabaseFile.h"
#include "store/EmptyDatabase.h"
#include "store/SqlRunner.h"
#include "winmodule/ModuleImageLoader.h"

namespace lumo {
namespace {
// How long a list query of the window waits for a lock held elsewhere.
constexpr int kListBusyTimeoutMs = 100;
}  // namespace

LumoApplication::LumoApplication(Options options) : options_(std::move(options)) {
    // The shared state: the closed connection, the message boxes, the window-thread services.
    if (options_.messages == nullptr) {
        ownMessages_ = std::make_unique<QtMessagePresenter>();
        messages_ = ownMessages_.get();
    } else {
        messages_ = options_.messages;
    }
    windowThread_ = std::make_unique<QtWindowThread>();
    timers_ = std::make_unique<QtTimers>();
    pageFetcher_ = std::make_unique<ModulePageFetcher>();
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
    if (!options_.databasePath.isEmpty()) return options_.databasePath;
    return options_.programDir + "/lumo.sdb";
}

void LumoApplication::start() {
    // The skin engine image; whatever the outcome, the skin binding decides how the skin is drawn.
    skinEngine_->loadImage(embeddedSkinEngineImage());
    // The window may live hidden in the tray: closing a message box meanwhile must not end the
    // program. It ends by closing the main window or through "退出".
    QGuiApplication::setQuitOnLastWindowClosed(false);
    window_ = std::make_unique<MainWindow>();
    createFeatures();
    connect(window_.get(), &MainWindow::closing, this, [] { QCoreApplication::quit(); });
    window_->centreOnScreen();
    window_->welcomePage->openWelcomePage();
    attachSkin();
    monitoring_->showTrayIcon();
    openDatabaseAndLoadLists();
    if (options_.startInTray) {
        startInTray();
        return;
    }
    window_->show();
}

void LumoApplication::startInTray() {
    const bool tray = options_.trayAvailable ? options_.trayAvailable()
                                             : QSystemTrayIcon::isSystemTrayAvailable();
    // A window hidden without a notification area could never come back.
    if (!tray) window_->showMinimized();
    if (!window_->runButton->isEnabled()) return;  // no database: nothing to monitor
    if (!options_.frequency.isEmpty()) window_->frequencyEdit->setText(options_.frequency);
    window_->autoMonitorCheck->setChecked(true);
    monitoring_->engine().onAutoMonitorClicked();
    monitoring_->engine().onRunClicked();
}

void LumoApplication::showWindow() {
    monitoring_->showWindow();
}

QStringList LumoApplication::autostartCommand() const {
    return {QCoreApplication::applicationFilePath(),
            QStringLiteral("--tray"),
            QStringLiteral("--every"),
            window_->frequencyEdit->text(),
            QStringLiteral("--db"),
            databasePath()};
}

// The window's services, each made once, and the features that share them.
void LumoApplication::createFeatures() {
    statusLog_ = std::make_unique<StatusLogBox>(window_->statusBox);
    // The region box comes with the editor's page; a check before that keeps its region for it.
    cutRegion_ = std::make_unique<CutRegionBox>();
    window_->whenPageBuilt(MainWindow::EditorTab, cutRegion_.get(),
                           [this] { cutRegion_->attach(window_->editorPage()->cutRegionBox); });
    sqlRunner_ = std::make_unique<SqlRunner>(database_, *statusLog_, *messages_);
    // What the user does in the window writes through the window's own connection, which waits
    // no longer for a lock than a list reload does: never behind a worker's transaction.
    windowSqlRunner_ = std::make_unique<SqlRunner>(listDatabase_, *statusLog_, *messages_);
    // The console comes with its page.
    window_->whenPageBuilt(MainWindow::SettingsTab, this, [this] {
        SettingsPage* page = window_->settingsPage();
        sqlConsole_ = std::make_unique<SqlConsole>(page->sqlEdit, page->runSqlButton,
                                                   *windowSqlRunner_, *messages_);
        autostart_ = std::make_unique<AutostartSetting>(
            page->autostartCheck, AutostartEntry(options_.configHome), *messages_,
            [this] { return autostartCommand(); });
    });
    LinkOpener* links = options_.links;
    if (links == nullptr) {
        ownLinks_ = std::make_unique<QtLinkOpener>();
        links = ownLinks_.get();
    }
    articleViews_ = std::make_unique<ArticleViews>(*window_, listDatabase_, *windowSqlRunner_,
                                                   *statusLog_, *messages_, *links);
    PlanManagement::Options planOptions;
    planOptions.listDatabase = &listDatabase_;
    plans_ =
        std::make_unique<PlanManagement>(*window_, listDatabase_, *windowSqlRunner_, *statusLog_,
                                         *messages_, *cutRegion_, std::move(planOptions));
    monitoring_ = std::make_unique<MonitoringFeature>(
        MonitoringFeature::Shared{*window_, *statusLog_, *sqlRunner_, *messages_, *timers_,
                                  monitorState_, *pageFetcher_, *windowThread_, *cutRegion_},
        MonitoringFeature::Hooks{[this] { articleViews_->loadLatestArticles(); },
                                 [this] { plans_->planList().loadPlanList(); },
                                 [] { QCoreApplication::exit(0); }, options_.trayAvailable, links,
                                 options_.desktop},
        options_.monitorTimings);
    // The threshold of a broken plan comes with the settings page; until then it is the box's
    // start, which both sides start from.
    window_->whenPageBuilt(MainWindow::SettingsTab, this, [this] {
        connect(window_->settingsPage()->brokenAfterBox, &QSpinBox::valueChanged, this,
                [this](int brokenAfter) {
                    monitoring_->setBrokenAfter(brokenAfter);
                    plans_->planList().setBrokenAfter(brokenAfter);
                });
    });
}

// Without a usable file: a box, `运行` disabled and no list loaded.
void LumoApplication::openDatabaseAndLoadLists() {
    if (!openDatabase(databasePath())) return;
    articleViews_->loadLatestArticles();
    plans_->planList().loadPlanList();
    articleViews_->loadFavourites();
}

// Opens the file through the check lumo-cli uses, so a file that is not a lumo database is
// refused and left untouched. Missing: the missing-file box and no run button. A folder of that
// name: nothing is said and the connections stay closed, as before the check. Refused otherwise
// (another program's file, damaged, held locked): a box with the reason, and no run button.
bool LumoApplication::openDatabase(const QString& path) {
    const QByteArray localPath = QFile::encodeName(path);
    const std::string local(localPath.constData(), static_cast<std::size_t>(localPath.size()));
    databaseStatus_ = checkedDatabase(path, local);
    if (databaseStatus_.kind() == Status::Kind::Missing) {
        static const Text kMissing = gbk("数据库文件不存在！");
        static const Text kCaption = gbk("错误");
        messages_->showMessage(kMissing, kCaption);
        window_->runButton->setEnabled(false);
        return false;
    }
    if (databaseStatus_.ok()) return true;
    if (QFileInfo(path).isDir()) return false;
    // The reason names the file.
    messages_->showMessage(gbk("无法打开数据库：") + gbk(databaseStatus_.reason()), gbk("错误"));
    window_->runButton->setEnabled(false);
    return false;
}

// Both connections on the file at `local`, when it is there and a lumo database. The check runs on
// the lists' connection, which reads the file first anyway.
Status LumoApplication::checkedDatabase(const QString& path, const std::string& local) {
    if (!databaseFileReady(path)) {
        return Status::failure(Status::Kind::Missing, local + " does not exist");
    }
    const Status checked = DatabaseFile::openExisting(listDatabase_, local);
    if (!checked.ok()) return checked;
    listDatabase_.setBusyTimeout(kListBusyTimeoutMs);
    const Status opened = database_.open(local);
    if (!opened.ok()) listDatabase_.close();
    return opened;
}

// Whether the file is there, after offering to create it where that is allowed.
bool LumoApplication::databaseFileReady(const QString& path) {
    // A directory of that name counts as found, as a find-first-file lookup would.
    if (QFileInfo::exists(path)) return true;
    if (!options_.offerToCreateDatabase) return false;
    const Text where = gbk(path.toStdString());
    if (!messages_->askYesNo(gbk("数据库文件不存在。要在下面的位置创建一个空数据库吗？\n") + where,
                             gbk("首次启动"))) {
        return false;
    }
    const Status created = createEmptyDatabaseWithFolders(QFile::encodeName(path).toStdString());
    if (created.ok()) return true;
    messages_->showMessage(gbk("无法创建数据库：") + gbk(created.reason()), gbk("错误"));
    return false;
}

void LumoApplication::attachSkin() {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (application == nullptr) return;
    skinData_ = embeddedSkinData();
    StyleSheetSkin ownSkin(*application);
    const std::unique_ptr<SkinEngineCaller> engineCaller = SkinEngineCaller::createNative();
    SkinBinding(*skinEngine_, *engineCaller, ownSkin).attach(skinData_);
}

PlanList& LumoApplication::planList() {
    return plans_->planList();
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
