#include "gui/modules/ModulePageFetcher.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>

#include "support/LocalHttpServer.h"

using lumo::FetchRequest;
using lumo::ModulePageFetcher;
using lumo::test::LocalHttpServer;

// The window's fetcher: the module loaded by the first fetch only, and what a fetch gives
// without it. The module is found beside the test program (the build links it there).
class ModulePageFetcherTest : public QObject {
    Q_OBJECT

private slots:
    void firstFetchLoadsTheModuleAndFetches();
    void withoutTheModuleEveryFetchFails();
    void cancelledBeforeTheFirstFetch();
    void aModuleOfAnotherBuildIsRefused();
};

void ModulePageFetcherTest::firstFetchLoadsTheModuleAndFetches() {
    LocalHttpServer server;
    server.page("/board", "<li>post</li>");
    server.page("/next", "<li>next</li>");
    ModulePageFetcher fetcher;
    QVERIFY(!fetcher.isLoaded());
    FetchRequest request;
    request.url = server.url("/board");
    request.cookie = "a=1";
    QCOMPARE(fetcher.fetch(request), std::string("<li>post</li>"));
    QVERIFY(fetcher.isLoaded());
    QVERIFY(request.outcome.ok());
    QCOMPARE(server.lastRequest().header("Cookie"), std::string("a=1"));
    // Later fetches go to the same fetcher.
    FetchRequest next;
    next.url = server.url("/next");
    QCOMPARE(fetcher.fetch(next), std::string("<li>next</li>"));
    QCOMPARE(server.requestCount(), std::size_t{2});
}

void ModulePageFetcherTest::withoutTheModuleEveryFetchFails() {
    LocalHttpServer server;
    server.page("/board", "<li>post</li>");
    ModulePageFetcher fetcher({}, {QStringLiteral("/nonexistent/folder")});
    // Said once, on standard error, with the loader's reason; the next fetches stay quiet.
    const QRegularExpression warning(
        QStringLiteral("lumo_page_fetch could not be loaded \\(.+\\)"));
    QTest::ignoreMessage(QtWarningMsg, warning);
    QTest::failOnWarning(warning);
    for (int attempt = 0; attempt < 2; ++attempt) {
        FetchRequest request;
        request.url = server.url("/board");
        QCOMPARE(fetcher.fetch(request), std::string());
        QVERIFY(request.outcome.reason().find("lumo_page_fetch") != std::string::npos);
    }
    QVERIFY(!fetcher.isLoaded());
    QCOMPARE(server.requestCount(), std::size_t{0});
    fetcher.cancelAll();
}

void ModulePageFetcherTest::cancelledBeforeTheFirstFetch() {
    LocalHttpServer server;
    server.page("/board", "<li>post</li>");
    ModulePageFetcher fetcher;
    fetcher.cancelAll();
    FetchRequest request;
    request.url = server.url("/board");
    QCOMPARE(fetcher.fetch(request), std::string());
    QVERIFY(!request.outcome.ok());
    QCOMPARE(server.requestCount(), std::size_t{0});
}

// Real modules of other builds, each a working fetcher: this one's sources with another version's
// stamp, and one as builds made them before modules carried a stamp. Neither is used; a search
// that finds them first goes on to this build's module.
void ModulePageFetcherTest::aModuleOfAnotherBuildIsRefused() {
    LocalHttpServer server;
    server.page("/board", "<li>post</li>");
    const QStringList stale{QStringLiteral(LUMO_OTHER_VERSION_MODULE_DIR),
                            QStringLiteral(LUMO_UNSTAMPED_MODULE_DIR)};
    const auto expectRefusals = [] {
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral(
                              "^lumo: /.+/other_version/lumo_page_fetch\\.so is not used: it was "
                              "built for lumo 0\\.9, module interface 1, and this is lumo \\d")));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral(
                                 "^lumo: /.+/unstamped/lumo_page_fetch\\.so is not used: it was "
                                 "built by an older Lumo \\(it has no build stamp\\)")));
    };

    expectRefusals();
    QTest::ignoreMessage(
        QtWarningMsg,
        QRegularExpression(QStringLiteral("lumo_page_fetch could not be loaded \\(.*not used")));
    ModulePageFetcher refusing({}, stale);
    FetchRequest refused;
    refused.url = server.url("/board");
    QCOMPARE(refusing.fetch(refused), std::string());
    QVERIFY(!refusing.isLoaded());
    QVERIFY(!refused.outcome.ok());
    QCOMPARE(server.requestCount(), std::size_t{0});

    expectRefusals();
    ModulePageFetcher fetcher({}, stale + QStringList{QCoreApplication::applicationDirPath()});
    FetchRequest request;
    request.url = server.url("/board");
    QCOMPARE(fetcher.fetch(request), std::string("<li>post</li>"));
    QVERIFY(request.outcome.ok());
}

QTEST_MAIN(ModulePageFetcherTest)
#include "ModulePageFetcherTest.moc"
