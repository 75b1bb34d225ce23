// Desktop notifications over a private session bus: no service, and a notification service of
// the test's own that records what it is sent and reports actions as a real one does.
#include "gui/window/DBusDesktopNotifier.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

#include "base/GbkCodec.h"

using lumo::DBusDesktopNotifier;
using lumo::DesktopNotice;
using lumo::gbk;
using lumo::Text;

namespace {

// A bus of the test's own: nothing on it is started on demand.
class PrivateBus {
public:
    PrivateBus() {
        QFile config(folder_.filePath("bus.conf"));
        if (!config.open(QIODevice::WriteOnly)) return;
        config.write(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>\n"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        daemon_.start("dbus-daemon",
                      {"--nofork", "--print-address=1", "--config-file=" + config.fileName()});
        if (daemon_.waitForReadyRead(5000)) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        }
    }
    ~PrivateBus() {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    // A new connection to this bus, known as `name` here (Qt keeps connections by name).
    QDBusConnection connect(const QString& name) {
        names_ << name + address_;
        return QDBusConnection::connectToBus(address_, name + address_);
    }
    bool ok() const { return !address_.isEmpty(); }

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

// A notification service that records each Notify and can report actions.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Sent {
        QString app;
        QString summary;
        QString body;
        QStringList actions;
    };
    QStringList capabilities{"body", "actions"};
    std::vector<Sent> sent;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int) {
        sent.push_back({app, summary, body, actions});
        return static_cast<uint>(sent.size()) + 40;
    }

signals:
    void ActionInvoked(uint id, const QString& action);
};

struct Recorded {
    std::vector<Text> opened;
    int windowShown = 0;
    DBusDesktopNotifier::Actions actions() {
        return {[this](const Text& link) { opened.push_back(link); }, [this] { ++windowShown; }};
    }
};

DesktopNotice notice(const Text& line, const Text& link) {
    return DesktopNotice{gbk("发现 1 篇新文章"), {gbk("来自：论坛（1）"), line}, link};
}

}  // namespace

class DBusDesktopNotifierTest : public QObject {
    Q_OBJECT

private slots:
    void withoutAServiceNothingIsShownAndNothingWaits() {
        Recorded recorded;
        // No bus at all.
        DBusDesktopNotifier nowhere([] { return QDBusConnection(QStringLiteral("no such bus")); },
                                    recorded.actions());
        QSignalSpy nowhereFailed(&nowhere, &DBusDesktopNotifier::failed);
        nowhere.show(notice("x", "http://a.test/"));
        QCOMPARE(nowhereFailed.size(), 1);

        // A bus without a notification service.
        PrivateBus bus;
        QVERIFY(bus.ok());
        DBusDesktopNotifier notifier([&bus] { return bus.connect("client"); }, recorded.actions());
        QSignalSpy failed(&notifier, &DBusDesktopNotifier::failed);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 3; ++i) notifier.show(notice("x", "http://a.test/"));
        QVERIFY(clock.elapsed() < 1000);  // show() only sends
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY(recorded.opened.empty());
    }

    void pageTextIsEscapedForMarkupAndTheActionsLeadToTheArticleOrTheWindow() {
        PrivateBus bus;
        QVERIFY(bus.ok());
        QDBusConnection serverSide = bus.connect("server");
        FakeNotifications service;
        service.capabilities << "body-markup";
        QVERIFY(serverSide.registerService("org.freedesktop.Notifications"));
        QVERIFY(serverSide.registerObject(
            "/org/freedesktop/Notifications", &service,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        Recorded recorded;
        DBusDesktopNotifier notifier([&bus] { return bus.connect("client"); }, recorded.actions());
        QSignalSpy shown(&notifier, &DBusDesktopNotifier::shown);

        notifier.show(notice("<b>hot</b> & <a href=\"file:///\">x</a>", "http://a.test/7"));
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(service.sent.size(), std::size_t(1));
        QCOMPARE(service.sent[0].app, QStringLiteral("鲁莫监控"));
        QCOMPARE(service.sent[0].summary, QStringLiteral("发现 1 篇新文章"));
        QCOMPARE(service.sent[0].body,
                 QStringLiteral("来自：论坛（1）\n&lt;b&gt;hot&lt;/b&gt; &amp; &lt;a "
                                "href=&quot;file:///&quot;&gt;x&lt;/a&gt;"));
        QCOMPARE(service.sent[0].actions, QStringList({"default", "打开文章", "show", "显示窗口"}));
        const uint id = shown.at(0).at(0).toUInt();

        emit service.ActionInvoked(id, "default");
        QTRY_COMPARE(recorded.opened.size(), std::size_t(1));
        QCOMPARE(recorded.opened[0], Text("http://a.test/7"));
        emit service.ActionInvoked(id, "show");
        QTRY_COMPARE(recorded.windowShown, 1);
        // Another program's notification is none of ours.
        emit service.ActionInvoked(id + 1000, "default");
        QTest::qWait(100);
        QCOMPARE(recorded.opened.size(), std::size_t(1));

        // A link that is not a web address is never opened: the click shows the window.
        notifier.show(notice("y", "javascript:alert(1)"));
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(service.sent[1].actions.at(1), QStringLiteral("显示窗口"));
        emit service.ActionInvoked(shown.at(1).at(0).toUInt(), "default");
        QTRY_COMPARE(recorded.windowShown, 2);
        QCOMPARE(recorded.opened.size(), std::size_t(1));
    }

    void aServiceWithoutMarkupGetsThePlainText() {
        PrivateBus bus;
        QVERIFY(bus.ok());
        QDBusConnection serverSide = bus.connect("server");
        FakeNotifications service;
        QVERIFY(serverSide.registerService("org.freedesktop.Notifications"));
        QVERIFY(serverSide.registerObject("/org/freedesktop/Notifications", &service,
                                          QDBusConnection::ExportAllSlots));
        Recorded recorded;
        DBusDesktopNotifier notifier([&bus] { return bus.connect("client"); }, recorded.actions());
        notifier.show(notice("a < b & c", "http://a.test/"));
        QTRY_COMPARE(service.sent.size(), std::size_t(1));
        QCOMPARE(service.sent[0].body, QStringLiteral("来自：论坛（1）\na < b & c"));
    }
};

QTEST_MAIN(DBusDesktopNotifierTest)
#include "DBusDesktopNotifierTest.moc"
