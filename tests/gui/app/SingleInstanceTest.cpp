// One window per database: the real program as a child, asked by this process as a second start.
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <csignal>

#include "app/SingleInstance.h"
#include "support/TempDatabase.h"

using lumo::SingleInstance;

namespace {

// The window program on `path`, offscreen, once it listens for later starts.
void startFirst(QProcess& program, const QString& path) {
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(LUMO_WINDOW_BINARY), {"--db", path});
    QVERIFY(program.waitForStarted());
    const auto listening = [&path] {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance::keyOf(path));
        return probe.waitForConnected(100);
    };
    QTRY_VERIFY_WITH_TIMEOUT(listening(), 10000);
}

void stop(QProcess& program) {
    program.kill();
    program.waitForFinished(5000);
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void oneFileHasOneKeyHoweverItIsSpelled() {
        lumo::test::TempDatabase database;
        lumo::test::TempDatabase other;
        const QString path = QString::fromStdString(database.path());
        const QString dir = QString::fromStdString(database.directory());
        QCOMPARE(SingleInstance::keyOf(dir + "/../" + QFileInfo(dir).fileName() + "/lumo.sdb"),
                 SingleInstance::keyOf(path));
        QVERIFY(QFile::link(path, dir + "/link.sdb"));
        QCOMPARE(SingleInstance::keyOf(dir + "/link.sdb"), SingleInstance::keyOf(path));
        QVERIFY(SingleInstance::keyOf(QString::fromStdString(other.path())) !=
                SingleInstance::keyOf(path));
    }

    void aSecondStartIsShownTheFirstWindowAnotherFileIsFirstItself() {
        lumo::test::TempDatabase database;
        lumo::test::TempDatabase other;
        const QString path = QString::fromStdString(database.path());
        QProcess first;
        startFirst(first, path);
        // Asked as the program's own second start would ask; the first may still be starting.
        SingleInstance second(path);
        QCOMPARE(second.claim(), SingleInstance::Role::Shown);
        QCOMPARE(first.state(), QProcess::Running);

        SingleInstance elsewhere(QString::fromStdString(other.path()));
        QCOMPARE(elsewhere.claim(), SingleInstance::Role::First);

        // The program itself, started again, ends at once with status 0.
        QProcess again;
        again.start(QStringLiteral(LUMO_WINDOW_BINARY), {"--db", path});
        QVERIFY(again.waitForFinished(10000));
        QCOMPARE(again.exitCode(), 0);
        stop(first);
    }

    void aKilledProgramLeavesNothingInTheWay() {
        lumo::test::TempDatabase database;
        const QString path = QString::fromStdString(database.path());
        QProcess first;
        startFirst(first, path);
        SingleInstance asking(path);
        QCOMPARE(asking.claim(), SingleInstance::Role::Shown);
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(5000));

        // Its lock and its socket are left behind; the next program is first all the same and
        // answers the one after it.
        SingleInstance next(path);
        QCOMPARE(next.claim(), SingleInstance::Role::First);
        int shown = 0;
        connect(&next, &SingleInstance::showRequested, this, [&shown] { ++shown; });
        QProcess later;
        later.start(QStringLiteral(LUMO_WINDOW_BINARY), {"--db", path});
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 10000);
        QCOMPARE(later.exitCode(), 0);
        QCOMPARE(shown, 1);
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
