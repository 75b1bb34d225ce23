// The window on a real desktop (run_on_desktop.sh starts it): X, a window manager, an XEmbed
// tray, a notification server and a session bus, driven as a user would with xdotool and dunstctl.
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/UiText.h"
#include "gui/monitor/MonitoringFeature.h"
#include "gui/monitor/TrayIcon.h"
#include "gui/window/MainWindow.h"
#include "gui/window/ReportListView.h"
#include "monitor/NewContentNotifier.h"
#include "support/FakeLinkOpener.h"
#include "support/FakeMessagePresenter.h"
#include "support/LocalHttpServer.h"
#include "support/QuickTimings.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::gbk;
using lumo::qtText;
using lumo::test::BoardPage;
using lumo::test::quickTimings;

namespace {

const QString kWindowTitle = QStringLiteral("鲁莫网站更新提醒工具 v1.1");

// A desktop tool's output; fails the test when it does not finish within 10 s.
QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        qWarning() << program << arguments << "did not finish";
        return {};
    }
    if (exitCode != nullptr) *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Windows of the program on screen (mapped), by title.
bool windowOnScreen() {
    int code = 1;
    run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", kWindowTitle}, &code);
    return code == 0;
}

// Whether the window manager has let go of an X window (it has no WM_STATE any more).
bool withdrawn(WId window) {
    return run(QStringLiteral("xprop"), {"-id", QString::number(window), "WM_STATE"})
        .contains(QStringLiteral("not found"));
}

// The program in this process, on a fresh lumo.sdb, with the desktop's own tray and
// notification service and a recording link opener.
struct Program {
    Program() {
        lumo::LumoApplication::Options options;
        options.programDir = QString::fromStdString(database.directory());
        options.messages = &messages;
        options.links = &links;
        options.monitorTimings = quickTimings();
        lumo = std::make_unique<lumo::LumoApplication>(options);
    }
    lumo::MainWindow& window() { return lumo->window(); }
    lumo::TrayIcon& tray() { return lumo->monitoring().trayIcon(); }

    lumo::test::TempDatabase database;
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeLinkOpener links;
    std::unique_ptr<lumo::LumoApplication> lumo;
};

// The notifications dunst has shown and put away, newest first.
QJsonArray dunstHistory() {
    const QJsonDocument history =
        QJsonDocument::fromJson(run(QStringLiteral("dunstctl"), {"history"}).toUtf8());
    return history.object().value("data").toArray().at(0).toArray();
}

QString field(const QJsonValue& notification, const char* name) {
    return notification.toObject().value(name).toObject().value("data").toString();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb"));
        QVERIFY(!qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty());
        run(QStringLiteral("dunstctl"), {"history-clear"});
    }

    void minimiseHidesIntoTheTrayAndAClickBringsItBack() {
        Program program;
        program.lumo->start();
        lumo::MainWindow& w = program.window();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY_WITH_TIMEOUT(program.tray().geometry().isValid(), 10000);

        QTRY_VERIFY_WITH_TIMEOUT(windowOnScreen(), 5000);
        // Minimised as the user does it: through the window manager.
        run(QStringLiteral("xdotool"), {"windowminimize", QString::number(w.winId())});
        QTRY_VERIFY(!w.isVisible());
        // Gone from the window manager too (withdrawn, no longer iconified), as it is by the time
        // a user reaches for the tray.
        QTRY_VERIFY(withdrawn(w.winId()));
        // New articles meanwhile: the alert icon.
        program.lumo->monitoring().notifier().notifyNewContent(true);
        QCOMPARE(program.tray().shownIcon(), lumo::TrayIconKind::Alert);

        const QPoint at = program.tray().geometry().center();
        run(QStringLiteral("xdotool"), {"mousemove", "--sync", QString::number(at.x()),
                                        QString::number(at.y()), "click", "1"});
        QTRY_VERIFY_WITH_TIMEOUT(w.isVisible(), 5000);
        QTRY_VERIFY(windowOnScreen());
        QVERIFY(!w.isMinimized());
        QCOMPARE(program.tray().shownIcon(), lumo::TrayIconKind::Normal);
    }

    void aRoundShowsOneNotificationWhoseActionOpensTheArticle() {
        lumo::test::LocalHttpServer site;
        site.page("/board", BoardPage::gbkPage(BoardPage::threads(120, 5)));
        Program program;
        lumo::MonitorPlan plan = BoardPage::plan(site.url("/board"), true);
        plan[lumo::MonitorPlan::name] = gbk("休闲灌水");
        program.database.addPlan(plan);
        program.lumo->start();
        lumo::MainWindow& w = program.window();
        w.planListView()->setRowChecked(0, true);
        run(QStringLiteral("dunstctl"), {"close-all"});
        run(QStringLiteral("dunstctl"), {"history-clear"});

        w.runButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.runButton->text(), QStringLiteral("开 始"), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(run(QStringLiteral("dunstctl"), {"count", "displayed"}),
                                  QStringLiteral("1"), 10000);
        const QByteArray screenshot = qgetenv("LUMO_DESKTOP_SCREENSHOT");
        if (!screenshot.isEmpty()) {
            QTest::qWait(500);  // drawn
            run(QStringLiteral("import"), {"-window", "root", QString::fromLocal8Bit(screenshot)});
        }

        // The notification's own action opens the newest article.
        run(QStringLiteral("dunstctl"), {"action", "0"});
        QTRY_COMPARE_WITH_TIMEOUT(program.links.opened.size(), std::size_t(1), 5000);
        QCOMPARE(program.links.opened[0], lumo::Text(BoardPage::kSite) + "thread-120-1-1.html");

        run(QStringLiteral("dunstctl"), {"close-all"});
        QTRY_COMPARE(dunstHistory().size(), 1);
        const QJsonValue shown = dunstHistory().at(0);
        QCOMPARE(field(shown, "appname"), QStringLiteral("鲁莫监控"));
        QCOMPARE(field(shown, "summary"), QStringLiteral("发现 5 篇新文章"));
        const QString body = field(shown, "body");
        QVERIFY2(body.contains(QStringLiteral("来自：休闲灌水（5）")), qPrintable(body));
        for (int id : {120, 119, 118}) {
            QVERIFY2(body.contains(qtText(BoardPage::thread(id).title).toHtmlEscaped()),
                     qPrintable(body));
        }
        QVERIFY(!body.contains(qtText(BoardPage::thread(117).title).toHtmlEscaped()));
        QVERIFY2(body.contains(QStringLiteral("还有 2 篇")), qPrintable(body));
    }

    void aSecondStartShowsTheFirstWindow() {
        lumo::test::TempDatabase database;
        lumo::test::TempDatabase other;
        const QString path = QString::fromStdString(database.path());
        QProcess first;
        first.start(QStringLiteral(LUMO_WINDOW_BINARY), {"--db", path});
        QTRY_VERIFY_WITH_TIMEOUT(windowOnScreen(), 10000);
        // A search of the window tree fails now and then while other windows come and go.
        QString id;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(id = run(QStringLiteral("xdotool"), {"search", "--name", kWindowTitle})).isEmpty(),
            5000);
        run(QStringLiteral("xdotool"), {"windowminimize", id.section('\n', 0, 0)});
        QTRY_VERIFY_WITH_TIMEOUT(!windowOnScreen(), 5000);

        QProcess second;
        second.start(QStringLiteral(LUMO_WINDOW_BINARY), {"--db", path});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(windowOnScreen(), 5000);

        // Another database has a program of its own.
        QProcess third;
        third.start(QStringLiteral(LUMO_WINDOW_BINARY),
                    {"--db", QString::fromStdString(other.path())});
        QVERIFY(!third.waitForFinished(2000));
        third.terminate();
        QVERIFY(third.waitForFinished(5000));
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
    }
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
