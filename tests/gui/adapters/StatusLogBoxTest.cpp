// The status box `状态`: what a replaced and an appended text show, and its bounded memory.
#include "gui/adapters/StatusLogBox.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "gui/window/MainWindow.h"
#include "gui/window/TabControl.h"

using lumo::gbk;
using lumo::MainWindow;
using lumo::StatusLogBox;
using lumo::Text;

class StatusLogBoxTest : public QObject {
    Q_OBJECT

private slots:
    void replacedTextShowsItsStartAppendedLinesTheEnd();
    void memoryStaysBoundedAndARoundIsShownWhole();
};

void StatusLogBoxTest::replacedTextShowsItsStartAppendedLinesTheEnd() {
    MainWindow w;
    w.show();
    w.tabs->setCurrentIndex(MainWindow::LatestArticlesTab);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    StatusLogBox log(w.statusBox);
    QScrollBar* bar = w.statusBox->verticalScrollBar();
    // A details line of an ordinary forum article: longer than the one line the box shows.
    const Text details = gbk("ID：1203；站点：某某论坛技术交流区；标题：") + Text(60, 'x') +
                         gbk("；链接：http://bbs.example.com/thread-120-1-1.html；时间：") +
                         "2024-01-02 03:04:05" + gbk("；状态：0；备注：");
    for (int i = 0; i < 2; ++i) {  // also after the box had scrolled to an end
        log.replace(details);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(w.statusBox->textCursor().position(), 0);
        QVERIFY(w.statusBox->cursorRect().top() >= 0);
        log.append(gbk("\r\n第二行"));
        QCOMPARE(bar->value(), bar->maximum());
    }
}

void StatusLogBoxTest::memoryStaysBoundedAndARoundIsShownWhole() {
    QPlainTextEdit box;
    StatusLogBox log(&box);
    // Many short lines: the oldest go, the newest stay in order.
    for (int i = 0; i < 6000; ++i) log.append("\r\nline " + lumo::textOfInteger(i));
    QVERIFY(box.document()->blockCount() <= StatusLogBox::kMaxLines);
    QVERIFY(box.document()->blockCount() >= StatusLogBox::kMaxLines / 2);
    const Text text = log.text();
    QVERIFY(text.size() >= 11 && text.substr(text.size() - 11) == "\r\nline 5999");
    QVERIFY(text.find("\r\nline 5998\r\nline 5999") != Text::npos);
    QVERIFY(text.find("line 100\r\n") == Text::npos);

    // Long lines (long titles): the characters held stay bounded too.
    const Text longLine = "\r\n" + Text(20000, 't');
    for (int i = 0; i < 150; ++i) log.append(longLine);
    QVERIFY(box.document()->characterCount() <= StatusLogBox::kMaxCharacters + 20002);
    QVERIFY(box.document()->characterCount() >= StatusLogBox::kMaxCharacters / 2);

    // What a round shows, its line and its plans' lines, is kept whole.
    Text round = gbk("已执行一轮，300秒后继续下一轮----2024-01-02 03:04:05");
    log.replace(round);
    for (int i = 0; i < 200; ++i) {
        const Text line = gbk("\r\n开始访问任务") + lumo::textOfInteger(i) + gbk("的网页----");
        log.append(line);
        round += line;
    }
    QCOMPARE(log.text(), round);
}

QTEST_MAIN(StatusLogBoxTest)
#include "StatusLogBoxTest.moc"
