// Starting with the desktop session: the autostart entry behind the box in "软件设置", and the
// start hidden in the tray with monitoring running that the entry asks for.
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/AutostartEntry.h"
#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/monitor/MonitoringFeature.h"
#include "gui/window/MainWindow.h"
#include "gui/window/SettingsPage.h"
#include "monitor/MonitorEngine.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::AutostartEntry;

class AutostartTest : public QObject {
    Q_OBJECT

private slots:
    void argumentsKeepTheirWordsThroughTheExecLine() {
        QCOMPARE(AutostartEntry::execArgument("/usr/bin/lumo"), QString("/usr/bin/lumo"));
        QCOMPARE(AutostartEntry::execArgument("/home/a b/lumo.sdb"),
                 QString("\"/home/a b/lumo.sdb\""));
        // Inside quotes " ` $ \ take a backslash, and the key file doubles each backslash.
        QCOMPARE(AutostartEntry::execArgument("a\"b`c$d\\e"),
                 QString("\"a\\\\\"b\\\\`c\\\\$d\\\\\\\\e\""));
        QCOMPARE(AutostartEntry::execArgument("100%"), QString("100%%"));
        QCOMPARE(AutostartEntry::execArgument(""), QString("\"\""));
        QVERIFY(AutostartEntry::entryText({"/bin/lumo", "--db", "a\nExec=rm"}).isEmpty());
    }

    void theEntryValidatesWithAwkwardPaths() {
#ifndef LUMO_DESKTOP_FILE_VALIDATE
        QSKIP("desktop-file-validate not found (scripts/packages.d/packaging.sh installs it)");
#else
        QTemporaryDir config;
        AutostartEntry entry(config.path());
        const lumo::Status written = entry.write({"/opt/my apps/lumo", "--tray", "--every", "300",
                                                  "--db", "/home/u/it's \"$HOME\" 100%/lumo.sdb"});
        QVERIFY2(written.ok(), written.reason().c_str());
        QProcess validate;
        validate.start(LUMO_DESKTOP_FILE_VALIDATE, {entry.path()});
        QVERIFY(validate.waitForFinished(10000));
        const QByteArray said = validate.readAllStandardOutput() + validate.readAllStandardError();
        QVERIFY2(validate.exitCode() == 0 && !said.contains("error"), said.constData());
#endif
    }

    void theBoxWritesAndRemovesTheEntry() {
        QTemporaryDir config;
        lumo::test::TempDatabase database;
        lumo::test::FakeMessagePresenter messages;
        lumo::LumoApplication::Options options{QString::fromStdString(database.directory()),
                                               &messages};
        options.configHome = config.path();
        lumo::LumoApplication app(options);
        app.start();
        QCheckBox* box = app.window().settingsPage()->autostartCheck;
        QVERIFY(!box->isChecked());
        app.window().frequencyEdit->setText("120");
        box->click();
        AutostartEntry entry(config.path());
        QVERIFY(entry.exists());
        QFile file(entry.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(" --tray --every 120 --db " +
                               AutostartEntry::execArgument(app.databasePath()) + "\n"),
                 qPrintable(text));
        box->click();
        QVERIFY(!entry.exists());

        // An entry that cannot be written is said, and the box stays as it is.
        QFile blocker(config.path() + "/autostart");
        QVERIFY(QDir(config.path() + "/autostart").removeRecursively());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        box->click();
        QVERIFY(!box->isChecked());
        QCOMPARE(messages.messages().size(), std::size_t(1));
        QCOMPARE(messages.messages()[0].caption, lumo::gbk("错误"));
    }

    void aTrayStartMonitorsHiddenAtTheGivenFrequency() {
        lumo::test::TempDatabase database;
        lumo::MonitorPlan plan = lumo::test::BoardPage::plan("http://127.0.0.1:9/none", true);
        plan[lumo::MonitorPlan::isdo] = "1";
        database.addPlan(plan);
        lumo::test::FakeMessagePresenter messages;
        lumo::LumoApplication::Options options{QString::fromStdString(database.directory()),
                                               &messages};
        options.startInTray = true;
        options.frequency = "90";
        options.trayAvailable = [] { return true; };
        lumo::LumoApplication app(options);
        app.start();
        QVERIFY(!app.window().isVisible());
        QVERIFY(app.monitoring().engine().isRunning());
        QCOMPARE(app.window().frequencyEdit->text(), QString("90"));
        QVERIFY(app.window().autoMonitorCheck->isChecked());
        QCOMPARE(app.window().runButton->text(), QString("停 止"));
        QVERIFY(messages.messages().empty());
    }
};

QTEST_MAIN(AutostartTest)
#include "AutostartTest.moc"
