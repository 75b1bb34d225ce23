// The monitoring feature on the real window: rounds against a local board site, the tray icon,
// the window's own events and the program's end while a plan runs.
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <set>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/StatusLogBox.h"
#include "gui/adapters/UiText.h"
#include "gui/monitor/AlertSound.h"
#include "gui/monitor/MonitoringFeature.h"
#include "gui/monitor/TrayIcon.h"
#include "gui/monitor/WindowEvents.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/TabControl.h"
#include "gui/window/WindowMenus.h"
#include "monitor/MonitorEngine.h"
#include "support/FakeMessagePresenter.h"
#include "support/LocalHttpServer.h"
#include "support/QuickTimings.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::gbk;
using lumo::LumoApplication;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::TrayIconKind;
using lumo::test::BoardPage;
using lumo::test::FakeMessagePresenter;
using lumo::test::LocalHttpServer;
using lumo::test::quickTimings;
using lumo::test::TempDatabase;

namespace {

enum class Boxes { Recorded, Real };

// The program on a fresh lumo.sdb, with recorded (or real) message boxes and a tray that may be
// there.
struct Program {
    explicit Program(bool trayAvailable = true, Boxes boxes = Boxes::Recorded) {
        LumoApplication::Options options;
        options.programDir = QString::fromStdString(database.directory());
        options.messages = boxes == Boxes::Recorded ? &messages : nullptr;
        options.monitorTimings = quickTimings();
        options.trayAvailable = [trayAvailable] { return trayAvailable; };
        lumo = std::make_unique<LumoApplication>(options);
    }
    void start() { lumo->start(); }

    lumo::MainWindow& window() { return lumo->window(); }
    lumo::TrayIcon& tray() { return lumo->monitoring().trayIcon(); }
    lumo::MonitorEngine& engine() { return lumo->monitoring().engine(); }
    Text log() { return lumo->statusLog().text(); }
    Text caption() { return lumo::gbkText(window().runButton->text()); }

    TempDatabase database;
    FakeMessagePresenter messages;
    std::unique_ptr<LumoApplication> lumo;
};

// A board plan named `name` reading `url`.
int addBoardPlan(TempDatabase& database, const std::string& url, const char* name) {
    MonitorPlan plan = BoardPage::plan(url, true);
    plan[MonitorPlan::name] = gbk(name);
    return database.addPlan(plan);
}

// The message box on screen, if any.
QMessageBox* shownBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

// Closes every real message box once it has been up for `after` milliseconds, as a user would.
class BoxCloser {
public:
    explicit BoxCloser(int after) {
        timer_.setInterval(after);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QMessageBox* box = shownBox()) {
                box->button(QMessageBox::Ok)->click();
                ++closed;
            }
        });
        timer_.start();
    }
    int closed = 0;

private:
    QTimer timer_;
};

// Every insert into `info` fails, so each run of a board plan meets the failure box.
void refuseArticles(TempDatabase& database) {
    QVERIFY(database.database().execute(
        "create trigger refuse before insert on info begin select raise(abort, 'refused'); end"));
}

bool startsWith(const Text& text, const Text& prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

class MonitoringTest : public QObject {
    Q_OBJECT

private slots:
    void trayIconShowsTheNormalEyeFromStartUp();
    void minimiseHidesTheWindowOnlyWithATray();
    void trayClickRestoresTheWindowAndWithdrawsTheAlert();
    void aboutBoxIsOurs();
    void alertWithoutSoundDeviceIsSilent();
    void roundsAgainstALocalBoardSite();
    void badPlansDoNotHoldUpTheRound();
    void stopsAtRandomMomentsLeaveNothingBehind();
    void closingWhileAPlanRunsStopsItBeforeTheDatabaseCloses();
    void closingMidRoundStillRecordsTheSteadyChecks();
    void quitEndsWithCodeZeroAndShutsDownOnce();
    void closingABoxWhileInTheTrayKeepsTheProgram();
    void theWorkersBoxLeavesTheWindowUsable();
    void runStopsARunawaySearch();
};

void MonitoringTest::trayIconShowsTheNormalEyeFromStartUp() {
    Program program;
    program.start();
    QVERIFY(program.tray().isShown());
    QCOMPARE(program.tray().shownIcon(), TrayIconKind::Normal);
    QCOMPARE(program.tray().toolTip(), QStringLiteral("鲁莫监控"));
    // Both icons are real 16 x 16 images.
    for (const char* path : {":/icons/normal.ico", ":/icons/alert.ico"}) {
        QFile file(QString::fromLatin1(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), 1150);
        QCOMPARE(QIcon(QString::fromLatin1(path)).availableSizes().value(0), QSize(16, 16));
    }
}

void MonitoringTest::minimiseHidesTheWindowOnlyWithATray() {
    for (const bool tray : {true, false}) {
        Program program(tray);
        program.start();
        lumo::MainWindow& w = program.window();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setWindowState(Qt::WindowMinimized);
        if (tray) {
            QTRY_VERIFY(!w.isVisible());
        } else {
            QTest::qWait(50);
            QVERIFY(w.isVisible());  // hidden, it could never be brought back
        }
    }
}

void MonitoringTest::trayClickRestoresTheWindowAndWithdrawsTheAlert() {
    Program program;
    program.start();
    lumo::MainWindow& w = program.window();
    lumo::NewContentNotifier& notifier = program.lumo->monitoring().notifier();
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick}) {
        notifier.notifyNewContent(true);
        QCOMPARE(program.tray().shownIcon(), TrayIconKind::Alert);
        w.setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!w.isVisible());
        program.tray().handleActivation(reason);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        QCOMPARE(program.tray().shownIcon(), TrayIconKind::Normal);
    }
    // The context menu and mouse moves leave the window alone.
    notifier.notifyNewContent(true);
    w.hide();
    program.tray().handleActivation(QSystemTrayIcon::Context);
    program.tray().handleActivation(QSystemTrayIcon::Unknown);
    QVERIFY(!w.isVisible());
    QCOMPARE(program.tray().shownIcon(), TrayIconKind::Alert);
    w.show();

    // Activation withdraws the alert icon, but only while `图标提醒` is checked.
    w.settingsPage()->trayAlertCheck->setChecked(false);
    emit w.activated();
    QCOMPARE(program.tray().shownIcon(), TrayIconKind::Alert);
    w.settingsPage()->trayAlertCheck->setChecked(true);
    emit w.activated();
    QCOMPARE(program.tray().shownIcon(), TrayIconKind::Normal);
}

void MonitoringTest::aboutBoxIsOurs() {
    Program program;
    program.start();
    program.window().menus->about->trigger();
    QCOMPARE(program.messages.messages().size(), size_t{1});
    QCOMPARE(program.messages.messages()[0].caption, gbk("关于"));
    QVERIFY(startsWith(program.messages.messages()[0].text, gbk("鲁莫网站更新提醒工具")));
    QVERIFY(!program.lumo->hasShutDown());
}

void MonitoringTest::alertWithoutSoundDeviceIsSilent() {
    Program program;
    program.start();
    program.lumo->monitoring().notifier().notifyNewContent(true);
    program.lumo->monitoring().notifier().notifyNewContent(true);
    QCOMPARE(program.lumo->monitoring().alertSound().playRequests(), 2);
    QVERIFY(program.messages.messages().empty());
    program.window().settingsPage()->soundAlertCheck->setChecked(false);
    program.lumo->monitoring().notifier().notifyNewContent(true);
    QCOMPARE(program.lumo->monitoring().alertSound().playRequests(), 2);
}

void MonitoringTest::roundsAgainstALocalBoardSite() {
    LocalHttpServer site;
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(120, 5)));
    site.page("/b", BoardPage::gbkPage(BoardPage::threads(530, 3)));
    Program program;
    addBoardPlan(program.database, site.url("/a"), "A");
    addBoardPlan(program.database, site.url("/b"), "B");
    program.start();
    lumo::MainWindow& w = program.window();
    QCOMPARE(w.planListView()->rowCount(), 2);
    w.planListView()->setRowChecked(0, true);
    w.planListView()->setRowChecked(1, true);

    // A single round: every article of both boards, the round line, reloads and the alert.
    w.runButton->click();
    QCOMPARE(program.caption(), gbk("停 止"));
    QCOMPARE(w.tabs->currentIndex(), int(lumo::MainWindow::LatestArticlesTab));
    QTRY_COMPARE_WITH_TIMEOUT(program.caption(), gbk("开 始"), 20000);
    QVERIFY(program.messages.messages().empty());
    const auto articles = program.database.articles();
    QCOMPARE(articles.size(), size_t{8});
    // The last match on a page is stored first, so the newest article has the highest id.
    QCOMPARE(articles[0][lumo::ArticleRecord::title], BoardPage::thread(116).title);
    QCOMPARE(articles[4][lumo::ArticleRecord::title], BoardPage::thread(120).title);
    QCOMPARE(articles[4][lumo::ArticleRecord::url], Text(BoardPage::kSite) + "thread-120-1-1.html");
    QCOMPARE(articles[7][lumo::ArticleRecord::title], BoardPage::thread(530).title);

    const Text log = program.log();
    QVERIFY2(startsWith(log, gbk("已执行一轮，300秒后继续下一轮----")),
             qPrintable(lumo::qtText(log)));
    QVERIFY(log.find(gbk("\r\n发现有新内容，已发出提醒通知！----")) != Text::npos);
    QVERIFY(log.size() > 4 &&
            log.substr(log.size() - gbk("\r\n执行完毕！").size()) == gbk("\r\n执行完毕！"));
    QCOMPARE(w.latestListView()->rowCount(), 8);
    QCOMPARE(w.planListView()->cellText(0, MonitorPlan::arttile), BoardPage::thread(120).title);
    QCOMPARE(program.tray().shownIcon(), TrayIconKind::Alert);
    QCOMPARE(program.lumo->monitoring().alertSound().playRequests(), 1);
    QVERIFY(!program.lumo->monitorState().newContentFound);
    QVERIFY(w.autoMonitorCheck->isEnabled());
    // The checks kept the last region cut for the editor's page instead of making the page; it
    // shows there once the page is opened.
    QVERIFY(!w.isPageBuilt(lumo::MainWindow::EditorTab));
    w.tabs->setCurrentIndex(lumo::MainWindow::EditorTab);
    const Text region = lumo::gbkText(w.editorPage()->cutRegionBox->toPlainText());
    QVERIFY(region.find(BoardPage::thread(530).title) != Text::npos);
    QVERIFY(region.find(BoardPage::thread(120).title) == Text::npos);

    // Two new threads on board A; repeating rounds every 60 "seconds", stopped after the first.
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(122, 7)));
    w.autoMonitorCheck->click();
    QVERIFY(w.frequencyEdit->isVisibleTo(&w));
    w.frequencyEdit->setText(QStringLiteral("60"));
    w.runButton->click();
    QVERIFY(!w.autoMonitorCheck->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(program.engine().phase(), lumo::MonitorEngine::Phase::BetweenRounds,
                              20000);
    w.runButton->click();
    QCOMPARE(program.caption(), gbk("开 始"));
    QVERIFY(w.autoMonitorCheck->isEnabled());
    QVERIFY(w.frequencyEdit->isEnabled());
    QTest::qWait(1500);  // longer than the round wait and the gap: nothing more may come
    const auto after = program.database.articles();
    QCOMPARE(after.size(), size_t{10});
    QCOMPARE(after[8][lumo::ArticleRecord::title], BoardPage::thread(121).title);
    QCOMPARE(after[9][lumo::ArticleRecord::title], BoardPage::thread(122).title);
    std::set<Text> urls;
    for (const auto& a : after) urls.insert(a[lumo::ArticleRecord::url]);
    QCOMPARE(urls.size(), size_t{10});
    QVERIFY(startsWith(program.log(), gbk("已执行一轮，60秒后继续下一轮----")));
}

void MonitoringTest::badPlansDoNotHoldUpTheRound() {
    LocalHttpServer site;
    site.page("/empty", "");
    site.page("/good", BoardPage::gbkPage(BoardPage::threads(40, 2)));
    Program program;
    addBoardPlan(program.database, site.url("/missing"), "404");
    addBoardPlan(program.database, site.url("/empty"), "empty");
    addBoardPlan(program.database, site.url("/good"), "good");
    program.start();
    lumo::MainWindow& w = program.window();
    for (int r = 0; r < 3; ++r) w.planListView()->setRowChecked(r, true);
    w.runButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(program.caption(), gbk("开 始"), 20000);
    QCOMPARE(program.database.articles().size(), size_t{2});
    QVERIFY(startsWith(program.log(), gbk("已执行一轮，")));
    // Two more rounds: the two bad plans are broken, and their rows say why.
    for (int round = 2; round <= 3; ++round) {
        for (int r = 0; r < 3; ++r) w.planListView()->setRowChecked(r, true);
        w.runButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(program.caption(), gbk("开 始"), 20000);
    }
    QTRY_VERIFY(w.planListView()
                    ->item(0, lumo::MonitorPlan::name)
                    ->toolTip()
                    .contains(QStringLiteral("服务器返回 HTTP 404，源码中找不到开始标记")));
    QVERIFY(w.planListView()
                ->item(1, lumo::MonitorPlan::name)
                ->toolTip()
                .contains(QStringLiteral("页面为空")));
    QVERIFY(w.planListView()->item(2, lumo::MonitorPlan::name)->toolTip().isEmpty());
}

void MonitoringTest::stopsAtRandomMomentsLeaveNothingBehind() {
    LocalHttpServer site;
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(400, 40)));
    site.page("/b", BoardPage::gbkPage(BoardPage::threads(900, 40)));
    Program program;
    addBoardPlan(program.database, site.url("/a"), "A");
    addBoardPlan(program.database, site.url("/b"), "B");
    program.start();
    lumo::MainWindow& w = program.window();
    w.autoMonitorCheck->click();
    w.frequencyEdit->setText(QStringLiteral("60"));
    std::srand(7);
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Plans load ticked (their isdo is 1) after every round with new articles.
        w.planListView()->setRowChecked(0, true);
        w.planListView()->setRowChecked(1, true);
        w.runButton->click();
        QCOMPARE(program.caption(), gbk("停 止"));
        QTest::qWait(std::rand() % 400);
        w.runButton->click();
        QCOMPARE(program.caption(), gbk("开 始"));
        QVERIFY(!program.engine().isRunning());
        QVERIFY(!program.lumo->monitorState().workerBusy);
        QVERIFY(w.autoMonitorCheck->isEnabled());
        // A statement under way at the click completes, and its log line comes through.
        QTRY_VERIFY_WITH_TIMEOUT(program.engine().workerFinished(), 10000);
        QTest::qWait(50);
        const std::size_t rows = program.database.articles().size();
        const Text log = program.log();
        QTest::qWait(400);
        QCOMPARE(program.database.articles().size(), rows);
        QCOMPARE(program.log(), log);
    }
    QVERIFY(program.messages.messages().empty());
}

void MonitoringTest::closingWhileAPlanRunsStopsItBeforeTheDatabaseCloses() {
    LocalHttpServer site;
    site.route("/silent", [](const lumo::test::ReceivedRequest&) {
        lumo::test::ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    Program program;
    addBoardPlan(program.database, site.url("/silent"), "silent");
    program.start();
    program.window().planListView()->setRowChecked(0, true);
    program.window().runButton->click();
    QTRY_VERIFY(site.requestCount() == 1);
    QVERIFY(program.lumo->monitorState().workerBusy);
    QElapsedTimer timer;
    timer.start();
    program.lumo->shutdownApplication();
    QVERIFY(timer.elapsed() < 3000);  // the fetch was cut short
    QVERIFY(program.lumo->hasShutDown());
    QVERIFY(!program.engine().isRunning());
    QVERIFY(!program.lumo->database().isOpen());
    QTest::qWait(100);
    QVERIFY(program.database.articles().empty());
}

// A steady check's record waits for the round's last check; closing the window before that
// check still records it.
void MonitoringTest::closingMidRoundStillRecordsTheSteadyChecks() {
    LocalHttpServer site;
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(120, 3)));
    site.route("/silent", [](const lumo::test::ReceivedRequest&) {
        lumo::test::ServedResponse response;
        response.neverAnswer = true;
        return response;
    });
    Program program;
    const int steady = addBoardPlan(program.database, site.url("/a"), "A");
    addBoardPlan(program.database, site.url("/silent"), "silent");
    const auto checked = [&] {
        const auto read = program.database.query("select checked from planhealth where planid=" +
                                                 std::to_string(steady));
        return read.ok && read.rows.size() == 1 ? read.rows.front()[0] : Text("unreadable");
    };
    program.start();
    lumo::MainWindow& w = program.window();
    const int rowOfA =
        MonitorPlan::fromRow(w.planListView()->rowTexts(0))[MonitorPlan::name] == gbk("A") ? 0 : 1;
    w.planListView()->setRowChecked(1 - rowOfA, false);  // the first round checks A alone
    w.runButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(program.caption(), gbk("开 始"), 20000);
    const Text firstCheck = checked();
    QVERIFY(!firstCheck.empty());
    QTest::qWait(1100);  // times are kept to the second

    w.planListView()->setRowChecked(1 - rowOfA, true);
    w.runButton->click();
    QTRY_VERIFY(site.requestCount() == 3);  // the second round has reached the silent board
    program.lumo->shutdownApplication();
    QVERIFY(checked() != firstCheck);
}

void MonitoringTest::quitEndsWithCodeZeroAndShutsDownOnce() {
    Program program;
    program.start();
    QSignalSpy shutDowns(program.lumo.get(), &LumoApplication::shutDownDone);
    QTimer::singleShot(0, program.lumo.get(), [&] { program.window().menus->quit->trigger(); });
    const int code = QCoreApplication::exec();
    QCOMPARE(code, 0);
    QCOMPARE(shutDowns.count(), 1);
    program.lumo->shutdownApplication();
    program.lumo.reset();
    QCOMPARE(shutDowns.count(), 1);
}

void MonitoringTest::closingABoxWhileInTheTrayKeepsTheProgram() {
    LocalHttpServer site;
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(120, 3)));
    Program program(true, Boxes::Real);
    addBoardPlan(program.database, site.url("/a"), "A");
    refuseArticles(program.database);
    program.start();
    lumo::MainWindow& w = program.window();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.planListView()->setRowChecked(0, true);
    w.hide();  // as minimising into the tray does

    // The tray's "关于..." box, then a round whose inserts fail: every box closes, the program
    // stays, and the round comes to its end.
    BoxCloser closer(150);
    QTimer::singleShot(0, &w, [&] { w.menus->about->trigger(); });
    QTimer::singleShot(50, &w, [&] { w.runButton->click(); });
    QTimer watch;
    bool stillRunning = false;
    Text log;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (closer.closed >= 2 && !program.engine().isRunning() && shownBox() == nullptr) {
            stillRunning = !program.lumo->hasShutDown();
            log = program.log();
            QCoreApplication::exit(42);  // the end of exec() shuts the program down
        }
    });
    watch.start(50);
    QTimer::singleShot(20000, [] { QCoreApplication::exit(43); });
    QCOMPARE(QCoreApplication::exec(), 42);
    QVERIFY(stillRunning);
    QVERIFY2(startsWith(log, gbk("已执行一轮，")), qPrintable(lumo::qtText(log)));
}

void MonitoringTest::theWorkersBoxLeavesTheWindowUsable() {
    LocalHttpServer site;
    site.page("/a", BoardPage::gbkPage(BoardPage::threads(120, 3)));
    for (const bool closeTheProgram : {false, true}) {
        Program program(true, Boxes::Real);
        addBoardPlan(program.database, site.url("/a"), "A");
        refuseArticles(program.database);
        program.start();
        lumo::MainWindow& w = program.window();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.planListView()->setRowChecked(0, true);
        BoxCloser userGivesUp(8000);  // only so that a blocked window ends the test
        QTest::mouseClick(w.runButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(shownBox() != nullptr, 10000);
        QVERIFY(program.lumo->monitorState().workerBusy);

        if (closeTheProgram) {
            // The end of the program while the box is up takes the box down and ends the run.
            QElapsedTimer timer;
            timer.start();
            program.lumo->shutdownApplication();
            QVERIFY2(timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(program.engine().workerFinished());
            QTRY_VERIFY(shownBox() == nullptr);
            continue;
        }
        // The window takes clicks while the worker waits for the box: `运行` stops monitoring,
        // and the lists and the editor page can be used.
        QTest::mouseClick(w.runButton, Qt::LeftButton);
        QCOMPARE(program.caption(), gbk("开 始"));
        QVERIFY(!program.engine().isRunning());
        QVERIFY(shownBox() != nullptr);
        QTest::mouseClick(w.tabs->tabBar(), Qt::LeftButton, {},
                          w.tabs->tabBar()->tabRect(lumo::MainWindow::EditorTab).center());
        QCOMPARE(w.tabs->currentIndex(), int(lumo::MainWindow::EditorTab));
        QCOMPARE(userGivesUp.closed, 0);
        // Closed, the box lets the worker end; nothing more comes of the stopped run.
        shownBox()->button(QMessageBox::Ok)->click();
        QTRY_VERIFY_WITH_TIMEOUT(program.engine().workerFinished(), 10000);
        QTest::qWait(200);
        QVERIFY(shownBox() == nullptr);
        QVERIFY(program.database.articles().empty());
    }
}

void MonitoringTest::runStopsARunawaySearch() {
    // "(a+)+b" padded with a long comment, which lifts the regex engine's own bound out of
    // reach, over a line of "a"s: the search would run for hours.
    LocalHttpServer site;
    site.page("/aaa", Text("<list>") + Text(2000, 'a') + "</list>");
    Program program;
    MonitorPlan plan = BoardPage::plan(site.url("/aaa"), true);
    plan[MonitorPlan::before] = "<list>";
    plan[MonitorPlan::after] = "</list>";
    plan[MonitorPlan::regular] = "(a+)+b(?#" + Text(3000, 'x') + ")";
    program.database.addPlan(plan);
    program.start();
    lumo::MainWindow& w = program.window();
    w.planListView()->setRowChecked(0, true);

    w.runButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(site.requestCount(), std::size_t{1}, 5000);
    QTest::qWait(300);  // the page is local and small: the search is under way
    QVERIFY(!program.engine().workerFinished());
    w.runButton->click();
    QCOMPARE(program.caption(), gbk("开 始"));
    // Well within the search's own time limit.
    QTRY_VERIFY_WITH_TIMEOUT(program.engine().workerFinished(), 1500);
    QVERIFY(program.log().find(gbk("正则匹配失败")) == Text::npos);
    QVERIFY(program.database.articles().empty());
}

QTEST_MAIN(MonitoringTest)
#include "MonitoringTest.moc"
