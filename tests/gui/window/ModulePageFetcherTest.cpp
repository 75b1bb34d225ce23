#include "gui/window/ModulePageFetcher.h"

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
    QCOMPARE(request.failure, std::string());
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
        QVERIFY(request.failure.find("lumo_page_fetch") != std::string::npos);
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
    QVERIFY(!request.failure.empty());
    QCOMPARE(server.requestCount(), std::size_t{0});
}

QTEST_MAIN(ModulePageFetcherTest)
#include "ModulePageFetcherTest.moc"
