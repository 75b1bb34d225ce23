#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "base/MessagePresenter.h"
#include "base/Status.h"
#include "base/Text.h"
#include "check/MonitorState.h"
#include "monitor/MonitorTimings.h"
#include "store/DatabaseConnection.h"

namespace lumo {

class ArticleViews;
class AutostartSetting;
class CutRegionBox;
class DesktopNotifier;
class LinkOpener;
class MainWindow;
class ModuleImageLoader;
class MonitoringFeature;
class PageFetcher;
class PlanList;
class PlanManagement;
class QtLinkOpener;
class QtMessagePresenter;
class QtTimers;
class QtWindowThread;
class SqlConsole;
class SqlRunner;
class StatusLogBox;

// The program's spine: creates the shared objects, the window and the features in a fixed order,
// attaches the skin, shows the tray icon, opens the database and fills the lists, and releases
// everything exactly once at shutdown.
//
// Window thread only.
class LumoApplication : public QObject {
    Q_OBJECT
public:
    struct Options {
        // The program's own folder; the database is lumo.sdb in it when databasePath is empty
        // (tests pass a temporary folder).
        QString programDir;
        // Message boxes; the application's own Qt boxes when null (tests pass a fake).
        MessagePresenter* messages = nullptr;
        // Opens article links; the desktop's browser when null (tests pass a fake).
        LinkOpener* links = nullptr;
        // Desktop notifications; the session bus's notification service when null.
        DesktopNotifier* desktop = nullptr;
        // The waits of the monitoring rounds (tests shorten them).
        MonitorTimings monitorTimings{};
        // Whether the desktop has a notification area; the platform's answer when empty.
        std::function<bool()> trayAvailable{};
        // The database file: in the product the one DatabaseLocation chose (--db, LUMO_DB, else
        // lumo.sdb beside a portable program or in the user's data folder for an installed one);
        // programDir + "/lumo.sdb" when empty.
        QString databasePath{};
        // Whether a missing database file may be created after asking the user (the installed
        // layout's default file); otherwise a missing file only gets the missing-file message.
        bool offerToCreateDatabase = false;
        // Start hidden in the tray with monitoring running: repeating rounds over the ticked
        // plans, every `frequency` seconds (the frequency box's own value when empty). Without a
        // notification area the window starts minimised instead.
        bool startInTray = false;
        QString frequency{};
        // Where the autostart entry lies (autostart/ below it); the user's configuration folder
        // when empty.
        QString configHome{};
    };

    explicit LumoApplication(Options options);
    ~LumoApplication() override;

    // Process start from the shared state on: loads the skin engine, creates the window and the
    // features, attaches the skin, shows the tray icon, opens the database, fills the lists and
    // shows the window (or starts in the tray).
    void start();

    // Releases the shared objects and closes the database. Runs once; later calls do nothing.
    void shutdownApplication();

    // Options::databasePath, or the program's folder + "/lumo.sdb".
    QString databasePath() const;

    // Shows the window in front, as a click on the tray icon does (another start of the program
    // on the same database asks for this).
    void showWindow();

    // What the autostart entry runs: this program, hidden in the tray, on this database, at the
    // frequency now set.
    QStringList autostartCommand() const;

    MainWindow& window() { return *window_; }
    DatabaseConnection& database() { return database_; }
    StatusLogBox& statusLog() { return *statusLog_; }
    MessagePresenter& messages() { return *messages_; }
    // The latest-articles and favourites lists.
    ArticleViews& articleViews() { return *articleViews_; }
    // The plan list: the plans, and which of them are ticked for monitoring.
    PlanList& planList();
    // Monitoring: the rounds engine, the alert, the tray icon and the window events.
    MonitoringFeature& monitoring() { return *monitoring_; }
    MonitorState& monitorState() { return monitorState_; }
    bool hasShutDown() const { return shutDown_; }
    // Why lumo.sdb was not opened at start-up (Missing, or DatabaseFile's refusal); ok when it
    // was, and before start-up.
    const Status& databaseStatus() const { return databaseStatus_; }

signals:
    // Emitted once, when shutdownApplication has run.
    void shutDownDone();

private:
    void createFeatures();
    void openDatabaseAndLoadLists();
    void attachSkin();
    bool openDatabase(const QString& path);
    Status checkedDatabase(const QString& path, const std::string& local);
    bool databaseFileReady(const QString& path);
    void startInTray();

    Options options_;
    bool shutDown_ = false;

    DatabaseConnection database_;
    Status databaseStatus_;
    // The window's own connection, for the list queries and everything the user writes from the
    // window (plans, ticks, favourites, the SQL console): it never waits behind a worker's
    // statement, and only briefly for another connection's lock.
    DatabaseConnection listDatabase_;
    // The skin engine image's loader, and the skin data handed to the engine, which keeps its
    // address: both live until shutdown.
    std::unique_ptr<ModuleImageLoader> skinEngine_;
    Bytes skinData_;
    MonitorState monitorState_;
    std::unique_ptr<PageFetcher> pageFetcher_;
    std::unique_ptr<QtMessagePresenter> ownMessages_;
    MessagePresenter* messages_ = nullptr;
    std::unique_ptr<QtWindowThread> windowThread_;
    std::unique_ptr<QtTimers> timers_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<StatusLogBox> statusLog_;
    std::unique_ptr<CutRegionBox> cutRegion_;
    std::unique_ptr<SqlRunner> sqlRunner_;
    std::unique_ptr<SqlRunner> windowSqlRunner_;
    std::unique_ptr<SqlConsole> sqlConsole_;
    std::unique_ptr<QtLinkOpener> ownLinks_;
    std::unique_ptr<ArticleViews> articleViews_;
    std::unique_ptr<PlanManagement> plans_;
    std::unique_ptr<MonitoringFeature> monitoring_;
    std::unique_ptr<AutostartSetting> autostart_;
};

}  // namespace lumo
