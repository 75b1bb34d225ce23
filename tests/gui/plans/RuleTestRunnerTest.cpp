#include "gui/plans/RuleTestRunner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "gui/adapters/CutRegionBox.h"
#include "gui/adapters/UiText.h"
#include "gui/plans/HintBar.h"
#include "gui/plans/PlanEditor.h"
#include "gui/plans/PlanList.h"
#include "gui/plans/PlanManagement.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "store/SqlRunner.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::gbk;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::test::BoardPage;

namespace {

// The plan editor page with plan management over a fresh lumo.sdb, and a local board site:
// /gbk and /utf8 serve the same 50 threads (ids 150 down to 101), /slow answers after a pause.
struct Tester {
    Tester() {
        threads = BoardPage::threads(150, 50);
        server.page("/gbk", BoardPage::gbkPage(threads), "text/html; charset=gbk");
        server.page("/utf8", BoardPage::utf8Page(threads), "text/html; charset=utf-8");
        server.route("/slow", [this](const lumo::test::ReceivedRequest&) {
            lumo::test::ServedResponse response;
            response.body = BoardPage::gbkPage(threads);
            response.pieceBytes = response.body.size() / 2 + 1;
            response.piecePause = std::chrono::milliseconds(700);
            return response;
        });
        window.show();
    }

    // The editor filled with a copy of `plan`, as the user would get it from the plan list.
    void loadIntoEditor(MonitorPlan plan) {
        temp.addPlan(plan);
        plans.planList().loadPlanList();
        window.planListView()->selectRow(plans.planList().rowCount() - 1);
        plans.editor().loadPlanIntoEditor(lumo::PlanEditMode::Copy);
    }

    void setPattern(const Text& pattern) { page().patternBox->setEditText(lumo::qtText(pattern)); }

    // Clicks "规则测试" and waits until the test has ended.
    bool runTest() {
        QSignalSpy finished(&plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
        QTest::mouseClick(page().testButton, Qt::LeftButton);
        return !finished.isEmpty() || finished.wait(15000);
    }

    QStringList captions() {
        QStringList list;
        for (int c = 0; c < page().testResultList->columnCount(); ++c) {
            list << page().testResultList->horizontalHeaderItem(c)->text();
        }
        return list;
    }

    lumo::PlanEditorPage& page() { return *window.editorPage(); }

    std::vector<BoardPage::Thread> threads;
    lumo::test::LocalHttpServer server;
    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeStatusLog log;
    lumo::MainWindow window;
    lumo::SqlRunner sql{temp.database(), log, messages};
    lumo::CutRegionBox cutRegion{window.editorPage()->cutRegionBox};
    lumo::PlanManagement plans{window, temp.database(), sql, log, messages, cutRegion};
};

// The cut region of a board page: what lies between the list's markers, CR LF pairs removed.
Text cutOf(const Text& page) {
    Text region = page.substr(page.find(BoardPage::kListStart) + strlen(BoardPage::kListStart));
    region = region.substr(0, region.find(BoardPage::kListEnd));
    return lumo::replaceAllText(region, "\r\n", "");
}

const char* const kThreeGroups =
    "<a href=\"(thread-(\\d+)-1-1\\.html)\" onclick=\"atarget\\(this\\)\" class=\"s "
    "xst\">(.*?)</a>";

}  // namespace

class RuleTestRunnerTest : public QObject {
    Q_OBJECT

private slots:
    void threeGroupsShowTwoColumnsAndEnableSave();
    void oneGroupShowsTheWholeMatch();
    void noGroupGivesRowsWithoutColumns();
    void noMatchAsksToCheckThePattern();
    void utf8PageIsConverted();
    void windowStaysResponsiveDuringTheFetch();
    void blockedAddressIsNeverFetched();
    void focusStaysOffTheUnitsDuringTheTest();
    void editorUnitsAsTheyStandAreTested();
    void saveStaysOffWhenTheEditorChangedDuringTheTest();
    void headerFieldsNeverAddRequestLines();
    void hugeRegionIsShownInPartWhileTheWindowKeepsRunning();
    void runawayPatternNeitherFreezesTheWindowNorHoldsUpItsEnd();
};

void RuleTestRunnerTest::threeGroupsShowTwoColumnsAndEnableSave() {
    Tester t;
    MonitorPlan plan = BoardPage::plan(t.server.url("/gbk"), true);
    plan[MonitorPlan::cookie] = "sid=1";
    t.loadIntoEditor(plan);
    t.setPattern(kThreeGroups);
    QVERIFY(!t.page().saveButton->isEnabled());

    QVERIFY(t.runTest());
    // The pattern has 3 groups: columns for the whole match and groups 1 and 2.
    QCOMPARE(t.captions(), QStringList({"索引 0", "索引 1", "索引 2"}));
    for (int c = 0; c < 3; ++c) QCOMPARE(t.page().testResultList->columnWidth(c), 80);
    QCOMPARE(t.page().testResultList->rowCount(), 50);
    QCOMPARE(t.page().testResultList->cellText(0, 1), Text("thread-150-1-1.html"));
    QCOMPARE(t.page().testResultList->cellText(0, 2), Text("150"));
    QCOMPARE(t.page().testResultList->cellText(49, 2), Text("101"));
    QVERIFY(t.page().testResultList->cellText(3, 0).starts_with("<a href=\"thread-147-1-1.html\""));
    QVERIFY(t.page().saveButton->isEnabled());
    QVERIFY(t.page().testButton->isEnabled());
    QVERIFY(t.messages.messages().empty());
    QCOMPARE(lumo::gbkText(t.page().cutRegionBox->toPlainText()),
             cutOf(BoardPage::gbkPage(t.threads)));

    // The request a monitoring run would send.
    const auto request = t.server.lastRequest();
    QCOMPARE(request.method, std::string("GET"));
    QCOMPARE(request.header("User-Agent"), plan[MonitorPlan::ua]);
    QCOMPARE(request.header("Cookie"), std::string("sid=1"));
}

void RuleTestRunnerTest::oneGroupShowsTheWholeMatch() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/gbk"), true));
    t.setPattern("class=\"s xst\">(.*?)</a>");
    QVERIFY(t.runTest());
    QCOMPARE(t.captions(), QStringList({"索引 0"}));
    QCOMPARE(t.page().testResultList->rowCount(), 50);
    QCOMPARE(t.page().testResultList->cellText(0, 0),
             "class=\"s xst\">" + t.threads[0].title + "</a>");
    QVERIFY(t.page().saveButton->isEnabled());
}

void RuleTestRunnerTest::noGroupGivesRowsWithoutColumns() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/gbk"), true));
    t.setPattern("CLASS=\"S XST\"");  // case is ignored
    QVERIFY(t.runTest());
    QCOMPARE(t.page().testResultList->columnCount(), 0);
    QCOMPARE(t.page().testResultList->rowCount(), 50);
    QVERIFY(t.page().saveButton->isEnabled());
}

void RuleTestRunnerTest::noMatchAsksToCheckThePattern() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/gbk"), true));
    t.setPattern(kThreeGroups);
    QVERIFY(t.runTest());
    QCOMPARE(t.page().testResultList->rowCount(), 50);

    // A later test without matches empties the table; the save button keeps its state.
    for (const char* pattern : {"no such text", "(unbalanced"}) {
        t.messages.clear();
        t.setPattern(pattern);
        t.plans.editor().enableSave(t.plans.editor().editorPlan());
        QVERIFY(t.runTest());
        const auto shown = t.messages.messages();
        QCOMPARE(shown.size(), std::size_t(1));
        QVERIFY(shown[0].text.starts_with(gbk("匹配结果为0,请检查正则匹配规则!（")));
        QCOMPARE(shown[0].caption, gbk("信息："));
        QCOMPARE(t.page().testResultList->columnCount(), 0);
        QCOMPARE(t.page().testResultList->rowCount(), 0);
        QVERIFY(t.page().saveButton->isEnabled());
        QVERIFY(t.page().testButton->isEnabled());
    }
    t.page().saveButton->setEnabled(false);
    QVERIFY(t.runTest());
    QVERIFY(!t.page().saveButton->isEnabled());
}

void RuleTestRunnerTest::utf8PageIsConverted() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/utf8"), false));
    t.setPattern(kThreeGroups +
                 std::string(".*?<cite><a href=\"space-uid-\\d+\\.html\" c=\"1\">(.*?)</a>"));
    QVERIFY(t.runTest());
    QCOMPARE(t.captions(), QStringList({"索引 0", "索引 1", "索引 2", "索引 3"}));
    QCOMPARE(t.page().testResultList->item(0, 3)->text(), lumo::qtText(t.threads[0].title));
    QCOMPARE(t.page().testResultList->cellText(0, 3), t.threads[0].title);

    // The same page read as GBK is garbled, and the titles no longer match.
    t.page().gbkCheck->setChecked(true);
    QVERIFY(t.runTest());
    QVERIFY(t.page().testResultList->rowCount() == 0 ||
            t.page().testResultList->cellText(0, 3) != t.threads[0].title);
}

void RuleTestRunnerTest::windowStaysResponsiveDuringTheFetch() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/slow"), true));
    t.setPattern(kThreeGroups);
    QSignalSpy finished(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
    QTest::mouseClick(t.page().testButton, Qt::LeftButton);
    // The click returned at once: the fetch runs elsewhere and the button waits for it.
    QVERIFY(finished.isEmpty());
    QVERIFY(t.plans.ruleTest().isRunning());
    QVERIFY(!t.page().testButton->isEnabled());
    // The window still takes input meanwhile.
    QTest::keyClicks(t.page().nameEdit, "abc");
    QVERIFY(t.page().nameEdit->text().endsWith(QStringLiteral("abc")));
    // A second start while running does nothing.
    t.plans.ruleTest().startTest();

    QVERIFY(finished.wait(15000));
    QCOMPARE(finished.size(), 1);
    QVERIFY(!t.plans.ruleTest().isRunning());
    QVERIFY(t.page().testButton->isEnabled());
    QCOMPARE(t.page().testResultList->rowCount(), 50);
    QCOMPARE(t.server.requestCount(), std::size_t(1));
}

void RuleTestRunnerTest::blockedAddressIsNeverFetched() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/gbk?site=lumosoft"), true));
    t.page().testResultList->setColumns({{"x", 80}});
    t.page().testResultList->addRow({"kept"});
    t.page().cutRegionBox->setPlainText(QStringLiteral("kept"));
    QVERIFY(t.runTest());
    const auto shown = t.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].text, gbk("此站不允许监控!"));
    QCOMPARE(shown[0].caption, gbk("信息："));
    QCOMPARE(t.server.requestCount(), std::size_t(0));
    QCOMPARE(t.page().testResultList->rowCount(), 1);
    QCOMPARE(t.page().cutRegionBox->toPlainText(), QStringLiteral("kept"));
    QVERIFY(t.page().testButton->isEnabled());
}

void RuleTestRunnerTest::editorUnitsAsTheyStandAreTested() {
    Tester t;
    // Nothing stored: the units typed by hand, markers narrowed to the first three threads.
    t.plans.editor().loadPlanIntoEditor(lumo::PlanEditMode::New);
    t.page().urlEdit->setText(lumo::qtText(t.server.url("/gbk")));
    t.page().cutStartEdit->setText(QStringLiteral("normalthread_150"));
    t.page().cutEndEdit->setText(QStringLiteral("normalthread_147"));
    t.setPattern(kThreeGroups);
    QVERIFY(t.runTest());
    QCOMPARE(t.page().testResultList->rowCount(), 3);
    QCOMPARE(t.page().testResultList->cellText(2, 2), Text("148"));
    QCOMPARE(t.server.lastRequest().header("Cookie"), std::string());
    QCOMPARE(t.temp.query("select count(*) from rule").rows[0][0], Text("0"));
    QVERIFY(t.log.content().empty());
}

void RuleTestRunnerTest::focusStaysOffTheUnitsDuringTheTest() {
    Tester t;
    t.loadIntoEditor(BoardPage::plan(t.server.url("/slow"), true));
    t.setPattern(kThreeGroups);
    QVERIFY(QTest::qWaitForWindowActive(&t.window));
    t.page().userAgentEdit->setFocus();
    t.page().testButton->setFocus();
    QTRY_VERIFY(t.page().testButton->hasFocus());
    const Text hint = t.plans.editor().hintBar().hint();

    QSignalSpy finished(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
    t.plans.ruleTest().startTest();
    // Disabling the button hands the focus to no unit, so the hint stays.
    QVERIFY(!t.page().testButton->isEnabled());
    QCOMPARE(t.plans.editor().hintBar().hint(), hint);
    QVERIFY(!t.page().userAgentEdit->hasFocus());
    QVERIFY(finished.wait(15000));
    QTRY_VERIFY(t.page().testButton->hasFocus());
    QCOMPARE(t.plans.editor().hintBar().hint(), hint);
}

void RuleTestRunnerTest::saveStaysOffWhenTheEditorChangedDuringTheTest() {
    Tester t;
    QPushButton* save = t.page().saveButton;
    const auto startSlowTest = [&t] {
        t.loadIntoEditor(BoardPage::plan(t.server.url("/slow"), true));
        t.setPattern(kThreeGroups);
        t.plans.ruleTest().startTest();
        QVERIFY(t.plans.ruleTest().isRunning());
    };
    const auto waitForTheEnd = [&t] {
        QSignalSpy finished(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
        QVERIFY(finished.wait(15000));
        QCOMPARE(t.page().testResultList->rowCount(), 50);  // the tested fields matched
    };

    // Untouched, the tested plan may be saved.
    startSlowTest();
    waitForTheEnd();
    QVERIFY(save->isEnabled());

    // The pattern typed over during the fetch: not even a valid pattern, never tested.
    save->setEnabled(false);
    startSlowTest();
    t.page().patternBox->lineEdit()->selectAll();
    QTest::keyClicks(t.page().patternBox->lineEdit(), "zzz_untested(");
    waitForTheEnd();
    QVERIFY(!save->isEnabled());
    QCOMPARE(t.page().patternBox->currentText(), QStringLiteral("zzz_untested("));

    // The pattern set without typing, another address, another plan loaded: all stay off.
    const std::function<void()> changes[] = {
        [&t] { t.setPattern("<a (.*?)>"); },
        [&t] { t.page().urlEdit->setText(lumo::qtText(t.server.url("/gbk"))); },
        [&t] { t.page().gbkCheck->setChecked(false); },
        [&t] {
            t.window.planListView()->selectRow(0);
            t.plans.editor().loadPlanIntoEditor(lumo::PlanEditMode::Edit);
        },
    };
    for (const auto& change : changes) {
        save->setEnabled(false);
        startSlowTest();
        change();
        waitForTheEnd();
        QVERIFY(!save->isEnabled());
    }
}

void RuleTestRunnerTest::headerFieldsNeverAddRequestLines() {
    Tester t;
    MonitorPlan plan = BoardPage::plan(t.server.url("/gbk"), true);
    plan[MonitorPlan::ua] = "LumoTest\r\nHost: evil.example";
    plan[MonitorPlan::cookie] = "sid=1\nX-Injected: 1";
    t.loadIntoEditor(plan);
    // The editor's boxes hold one line each; a stored plan may hold more.
    t.plans.editor().loadPlanIntoEditor(lumo::PlanEditMode::Edit);
    QVERIFY(t.runTest());
    const auto request = t.server.lastRequest();
    QCOMPARE(request.headerCount("Host"), 1);
    QCOMPARE(request.header("Host"), t.server.hostAndPort());
    QCOMPARE(request.headerCount("X-Injected"), 0);
    QCOMPARE(request.header("Cookie"), std::string("sid=1"));
    QVERIFY(t.log.content().find(gbk("出错！方案的 ")) != Text::npos);
}

void RuleTestRunnerTest::hugeRegionIsShownInPartWhileTheWindowKeepsRunning() {
    Tester t;
    // One line of 20 MiB between the markers.
    constexpr std::size_t kRegion = std::size_t{20} << 20;
    t.server.page("/huge", "<list>" + Text(kRegion, 'a') + "</list>");
    MonitorPlan plan = BoardPage::plan(t.server.url("/huge"), true);
    plan[MonitorPlan::before] = "<list>";
    plan[MonitorPlan::after] = "</list>";
    t.loadIntoEditor(plan);
    t.setPattern(".");

    // The event loop's longest pause while the test runs.
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestPause = std::max(longestPause, sinceTick.restart()); });
    ticker.start(10);
    sinceTick.start();
    QSignalSpy finished(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
    QTest::mouseClick(t.page().testButton, Qt::LeftButton);
    QVERIFY(finished.wait(30000));
    QTest::qWait(50);
    ticker.stop();

    const Text shown = lumo::gbkText(t.page().cutRegionBox->toPlainText());
    QVERIFY(shown.size() <= lumo::CutRegionBox::kShownBytes + 200);
    QVERIFY(shown.starts_with(Text(1000, 'a')));
    const Text line = gbk("……（截取的区域共 ") + lumo::textOfInteger(kRegion) + gbk(" 字节，其余 ");
    QVERIFY(shown.find(line) != Text::npos);
    QCOMPARE(t.page().testResultList->rowCount(), 10000);
    // Generous for a loaded machine; laying out the whole line took minutes.
    QVERIFY2(longestPause < 3000, QByteArray::number(longestPause));
}

void RuleTestRunnerTest::runawayPatternNeitherFreezesTheWindowNorHoldsUpItsEnd() {
    // "(a+)+b" padded past the regex engine's own bound, over a line of "a"s.
    const Text runaway = "(a+)+b(?#" + Text(3000, 'x') + ")";
    QElapsedTimer clock;
    {
        Tester t;
        t.server.page("/aaa", "<list>" + Text(2000, 'a') + "</list>");
        MonitorPlan plan = BoardPage::plan(t.server.url("/aaa"), true);
        plan[MonitorPlan::before] = "<list>";
        plan[MonitorPlan::after] = "</list>";
        t.loadIntoEditor(plan);
        t.setPattern(runaway);

        // The search ends at its time limit, and the window takes input meanwhile.
        QSignalSpy finished(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
        QTest::mouseClick(t.page().testButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(t.server.requestCount(), std::size_t{1}, 5000);
        QTest::qWait(300);
        QTest::keyClicks(t.page().nameEdit, "abc");
        QVERIFY(t.page().nameEdit->text().endsWith(QStringLiteral("abc")));
        QVERIFY(finished.wait(15000));
        const auto shown = t.messages.messages();
        QCOMPARE(shown.size(), std::size_t(1));
        QVERIFY(shown[0].text.starts_with(gbk("匹配结果为0,请检查正则匹配规则!（正则匹配失败：")));
        QCOMPARE(t.page().testResultList->rowCount(), 0);

        // A test still searching when the window goes is cut short.
        QTest::mouseClick(t.page().testButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(t.server.requestCount(), std::size_t{2}, 5000);
        QTest::qWait(300);
        QVERIFY(t.plans.ruleTest().isRunning());
        clock.start();
    }
    QVERIFY2(clock.elapsed() < 2000, QByteArray::number(clock.elapsed()));
}

QTEST_MAIN(RuleTestRunnerTest)
#include "RuleTestRunnerTest.moc"
