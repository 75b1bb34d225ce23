#include "gui/adapters/QtLinkOpener.h"

#include <QTest>

#include "base/GbkCodec.h"

using lumo::gbk;
using lumo::QtLinkOpener;

// The conversion from a GBK link to the address handed to the desktop. Nothing is opened here.
class QtLinkOpenerTest : public QObject {
    Q_OBJECT

private slots:
    void webLinksBecomeEncodedAddresses();
    void otherLinksGiveNoAddress();
};

void QtLinkOpenerTest::webLinksBecomeEncodedAddresses() {
    QCOMPARE(
        QtLinkOpener::webUrlOf("http://board.example/thread-1.html").toString(QUrl::FullyEncoded),
        QStringLiteral("http://board.example/thread-1.html"));
    // GBK characters go out as UTF-8 percent escapes, as a browser sends a typed address; blanks
    // inside are escaped, blanks around are dropped; escapes already there are kept.
    const QUrl url =
        QtLinkOpener::webUrlOf(gbk("  HTTPS://Board.Example/论坛/a b?q=帖子&r=%C4%E3 "));
    QVERIFY(url.isValid());
    QCOMPARE(url.scheme(), QStringLiteral("https"));
    QCOMPARE(url.host(), QStringLiteral("board.example"));
    QCOMPARE(url.toString(QUrl::FullyEncoded),
             QStringLiteral(
                 "https://board.example/%E8%AE%BA%E5%9D%9B/a%20b?q=%E5%B8%96%E5%AD%90&r=%C4%E3"));
    // A broken GBK byte does not make the address unusable.
    QVERIFY(QtLinkOpener::webUrlOf("http://x.example/\x81").isValid());
}

void QtLinkOpenerTest::otherLinksGiveNoAddress() {
    for (const char* link :
         {"", "file:///etc/passwd", "/bin/sh", "javascript:alert(1)", "mailto:a@b.example",
          "http://", "http:///etc/passwd", "http://a.example/\nb", "ftp://a.example/"}) {
        QVERIFY2(!QtLinkOpener::webUrlOf(link).isValid(), link);
    }
    // Ignored silently: no crash, no browser.
    QtLinkOpener opener;
    opener.openLink("file:///etc/passwd");
    opener.openLink("");
}

QTEST_MAIN(QtLinkOpenerTest)
#include "QtLinkOpenerTest.moc"
