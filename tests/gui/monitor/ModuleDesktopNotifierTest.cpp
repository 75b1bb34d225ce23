#include "gui/monitor/ModuleDesktopNotifier.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using lumo::DesktopNotice;
using lumo::ModuleDesktopNotifier;

namespace {

// Whether the module is mapped into this process.
bool moduleLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/lumo_desktop_notify.so");
}

DesktopNotice notice() {
    DesktopNotice notice;
    notice.summary = "new";
    notice.link = "https://example.org/1";
    return notice;
}

}  // namespace

// The window's notifications: the D-Bus module loaded by the first notification only. The module
// is found beside the test program (the build links it there).
class ModuleDesktopNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // No session bus of the machine's is reached: the notifier finds none and stays quiet.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    }

    void theModuleIsLoadedAtTheFirstNotification() {
        ModuleDesktopNotifier desktop({QCoreApplication::applicationDirPath()}, {}, {});
        QVERIFY(!moduleLoaded());
        QVERIFY(!desktop.loaded());
        desktop.show(notice());
        QVERIFY(desktop.loaded());
        QVERIFY(moduleLoaded());
        desktop.show(notice());
    }

    void withoutTheModuleNothingIsSentAndThatIsSaidOnce() {
        ModuleDesktopNotifier desktop({QStringLiteral("/nonexistent/folder")}, {}, {});
        const QRegularExpression warning(QStringLiteral(
            "^lumo: no desktop notifications: the module lumo_desktop_notify could not be loaded "
            "\\(.+\\)$"));
        QTest::ignoreMessage(QtWarningMsg, warning);
        QTest::failOnWarning(warning);
        desktop.show(notice());
        desktop.show(notice());
        QVERIFY(!desktop.loaded());
    }
};

QTEST_MAIN(ModuleDesktopNotifierTest)
#include "ModuleDesktopNotifierTest.moc"
