// The window and `lumo-cli run` on one lumo.sdb at once: both monitor, both write, each waits
// for the other through the busy timeout, nothing is lost, and the window's list shows what the
// CLI stored at its next reload.
#include <signal.h>

#include <QPushButton>
#include <QTest>
#include <map>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "cli/ChildProcess.h"
#include "gui/articles/ArticleViews.h"
#include "gui/monitor/MonitoringFeature.h"
#include "gui/window/MainWindow.h"
#include "gui/window/ReportListView.h"
#include "monitor/MonitorEngine.h"
#include "support/FakeMessagePresenter.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::MonitorPlan;
using lumo::test::BoardPage;

class CliBesideWindowTest : public QObject {
    Q_OBJECT

private slots:
    void bothMonitorOneFile();
};

void CliBesideWindowTest::bothMonitorOneFile() {
    using namespace std::chrono_literals;
    lumo::test::LocalHttpServer server;
    server.page("/window", BoardPage::gbkPage(BoardPage::threads(130, 30)));
    server.page("/cli", BoardPage::gbkPage(BoardPage::threads(930, 30)));
    lumo::test::TempDatabase temp;
    MonitorPlan windowPlan = BoardPage::plan(server.url("/window"), true);
    temp.addPlan(windowPlan);
    MonitorPlan cliPlan = BoardPage::plan(server.url("/cli"), true);
    cliPlan[MonitorPlan::isdo] = "0";
    const int cliPlanId = temp.addPlan(cliPlan);

    lumo::test::FakeMessagePresenter messages;
    lumo::LumoApplication::Options options;
    options.programDir = QString::fromStdString(temp.directory());
    options.messages = &messages;
    options.monitorTimings.heartbeat = 50ms;
    options.monitorTimings.gap = 30ms;
    options.monitorTimings.insertPause = 15ms;
    options.trayAvailable = [] { return false; };
    lumo::LumoApplication app(options);
    app.start();
    lumo::MainWindow& window = app.window();

    // The CLI's inserts and the window's overlap: both pause 15 ms after each of 30 inserts.
    lumo::test::ChildProcess cli(LUMO_CLI_BINARY,
                                 {"--db", temp.path(), "run", "--plans", std::to_string(cliPlanId),
                                  "--every", "60", "--quiet"},
                                 {"LUMO_CLI_TEST_TIMINGS=50,30,10,15"});
    QTest::mouseClick(window.runButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!app.monitoring().engine().isRunning(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(temp.articles().size(), std::size_t(60), 20000);
    cli.sendSignal(SIGTERM);
    QVERIFY(cli.wait(3s));
    QCOMPARE(cli.exitCode(), 0);
    QVERIFY2(cli.err().empty(), cli.err().c_str());
    QVERIFY(messages.messages().empty());

    std::map<std::string, int> stored;
    for (const lumo::ArticleRecord& article : temp.articles())
        ++stored[article[lumo::ArticleRecord::url]];
    QCOMPARE(stored.size(), std::size_t(60));
    for (const auto& [url, count] : stored) QCOMPARE(count, 1);

    // The window's list shows the CLI's rows at its next reload.
    app.articleViews().loadLatestArticles();
    QCOMPARE(window.latestListView()->rowCount(), 60);
}

QTEST_MAIN(CliBesideWindowTest)
#include "CliBesideWindowTest.moc"
