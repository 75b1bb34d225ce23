#include "gui/plans/PlanSuggestionRunner.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "base/GbkCodec.h"
#include "gui/adapters/CutRegionBox.h"
#include "gui/adapters/UiText.h"
#include "gui/plans/PlanEditor.h"
#include "gui/plans/PlanList.h"
#include "gui/plans/PlanManagement.h"
#include "gui/plans/RuleTestRunner.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "store/SqlRunner.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/ListPages.h"

using lumo::gbk;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::test::ListPage;
using lumo::test::ListPages;

namespace {

// The plan editor with plan management over a fresh lumo.sdb, and a local site: /bbs/ a board of
// 43 threads (slowly at /slow), /about a page without a list.
struct Tester {
    Tester() : board(ListPages::discuz(server.url(""), 40, true)) {
        server.page("/bbs/forum-2-1.html", board.body, board.contentType);
        server.page("/about", ListPages::noList("").body);
        server.route("/slow", [this](const lumo::test::ReceivedRequest&) {
            lumo::test::ServedResponse response;
            response.headerLines = {"Content-Type: " + board.contentType};
            response.body = board.body;
            response.pieceBytes = response.body.size() / 2 + 1;
            response.piecePause = std::chrono::milliseconds(700);
            return response;
        });
        window.show();
        plans.editor().loadPlanIntoEditor(lumo::PlanEditMode::New);
    }

    lumo::PlanEditorPage& page() { return *window.editorPage(); }
    lumo::PlanSuggestionRunner& runner() { return plans.suggestion(); }

    // Asks for suggestions for `url` through the command in 编辑框_网址 and waits for the end.
    bool suggest(const std::string& url) {
        page().urlEdit->setText(QString::fromStdString(url));
        QSignalSpy finished(&runner(), &lumo::PlanSuggestionRunner::finished);
        const QList<QAction*> actions = page().urlEdit->actions();
        const auto command = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->objectName() == QStringLiteral("suggestPlanAction");
        });
        if (command == actions.end()) return false;
        (*command)->trigger();
        return !finished.isEmpty() || finished.wait(15000);
    }

    Text unit(QLineEdit* edit) { return lumo::gbkText(edit->text()); }

    lumo::test::LocalHttpServer server;
    ListPage board;
    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeStatusLog log;
    lumo::MainWindow window;
    lumo::SqlRunner sql{temp.database(), log, messages};
    lumo::CutRegionBox cutRegion{window.editorPage()->cutRegionBox};
    lumo::PlanManagement plans{window, temp.database(), sql, log, messages, cutRegion};
};

}  // namespace

class PlanSuggestionTest : public QObject {
    Q_OBJECT

private slots:
    void chosenSuggestionFillsTheEditorThenTestsAndSaves();
    void windowStaysResponsiveWhileThePageIsFetched();
    void pagesWithoutAListLeaveTheEditorAsItWas();
};

// The command lives inside 编辑框_网址; the chosen suggestion fills the editor, which then
// passes the rule test and saves as any plan.
void PlanSuggestionTest::chosenSuggestionFillsTheEditorThenTestsAndSaves() {
    Tester t;
    const QRect urlPlace = t.page().urlEdit->geometry();
    QVERIFY(t.suggest(t.server.url("/bbs/forum-2-1.html")));
    QCOMPARE(t.page().urlEdit->geometry(), urlPlace);
    QVERIFY(t.messages.messages().empty());
    lumo::SuggestionChooser* chooser = t.runner().chooser();
    QVERIFY(chooser != nullptr);
    QVERIFY(chooser->isVisible());
    QVERIFY(chooser->list()->count() >= 2);
    QCOMPARE(chooser->selectedIndex(), 0);
    QVERIFY(chooser->list()->item(0)->text().startsWith(QStringLiteral("43 篇：")));
    QVERIFY(chooser->list()->item(0)->text().contains(lumo::qtText(t.board.articles[0].title)));

    chooser->accept();
    QVERIFY(!t.page().cutStartEdit->text().isEmpty());
    QVERIFY(!t.page().cutEndEdit->text().isEmpty());
    QVERIFY(t.page().patternBox->currentText().contains(QStringLiteral("thread-(\\d+)-1-1")));
    QCOMPARE(t.unit(t.page().linkTemplateEdit), t.server.url("") + "/bbs/thread-[1]-1-1.html");
    QCOMPARE(t.unit(t.page().titleIndexEdit), Text("2"));
    QCOMPARE(t.unit(t.page().idIndexEdit), Text("1"));
    QVERIFY(t.page().compareIdRadio->isChecked());
    QVERIFY(t.page().idIndexEdit->isEnabled());
    QVERIFY(t.page().gbkCheck->isChecked());
    QCOMPARE(t.page().nameEdit->text(), QStringLiteral("灌水乐园 - 鲁莫社区"));
    // The new plan's empty user agent was replaced by the one the page was fetched with.
    QCOMPARE(t.unit(t.page().userAgentEdit), Text(lumo::kSuggestionUserAgent));
    QCOMPARE(t.server.lastRequest().header("User-Agent"), std::string(lumo::kSuggestionUserAgent));
    QVERIFY(!t.page().saveButton->isEnabled());

    QSignalSpy tested(&t.plans.ruleTest(), &lumo::RuleTestRunner::testFinished);
    QTest::mouseClick(t.page().testButton, Qt::LeftButton);
    QVERIFY(tested.wait(15000));
    QCOMPARE(t.page().testResultList->rowCount(), 43);
    QCOMPARE(t.page().testResultList->cellText(3, 1), Text("9000"));
    QVERIFY(t.page().saveButton->isEnabled());

    QVERIFY(t.plans.editor().savePlan());
    const lumo::QueryResult saved = t.temp.query("select regular, buquan, type from rule");
    QCOMPARE(saved.rowCount(), 1);
    QVERIFY(saved.rows[0][0].find("thread-(\\d+)-1-1") != Text::npos);
    QCOMPARE(saved.rows[0][2], Text("8"));
}

void PlanSuggestionTest::windowStaysResponsiveWhileThePageIsFetched() {
    Tester t;
    t.page().urlEdit->setText(QString::fromStdString(t.server.url("/slow")));
    QSignalSpy finished(&t.runner(), &lumo::PlanSuggestionRunner::finished);
    t.runner().action()->trigger();
    QVERIFY(finished.isEmpty());
    QVERIFY(t.runner().isRunning());
    QVERIFY(!t.runner().action()->isEnabled());
    QTest::keyClicks(t.page().nameEdit, "abc");
    QCOMPARE(t.page().nameEdit->text(), QStringLiteral("abc"));
    t.runner().start();  // a second start while running does nothing

    QVERIFY(finished.wait(15000));
    QCOMPARE(t.server.requestCount(), std::size_t(1));
    QVERIFY(t.runner().action()->isEnabled());
    t.runner().chooser()->accept();
    // A name typed by the user stays.
    QCOMPARE(t.page().nameEdit->text(), QStringLiteral("abc"));
    QVERIFY(!t.page().cutStartEdit->text().isEmpty());
}

// No address, a blocked one, a page without a list and an unreachable address: one message each,
// no box of candidates, the editor as it was.
void PlanSuggestionTest::pagesWithoutAListLeaveTheEditorAsItWas() {
    Tester t;
    t.page().cutStartEdit->setText(QStringLiteral("<ul>"));
    struct Case {
        std::string url;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"", "请先填写监控网址。"},
        {"http://lumosoft.example/", "此站不允许监控!"},
        {t.server.url("/about"), "页面中没有找到文章列表，请手动填写方案。"},
        {"http://127.0.0.1:1/", "无法打开该网址："},
    };
    for (const Case& c : cases) {
        const std::size_t before = t.messages.messages().size();
        t.page().urlEdit->setText(QString::fromStdString(c.url));
        QSignalSpy finished(&t.runner(), &lumo::PlanSuggestionRunner::finished);
        t.runner().action()->trigger();
        if (t.runner().isRunning()) QVERIFY(finished.wait(15000));
        QCOMPARE(t.messages.messages().size(), before + 1);
        QVERIFY(t.messages.messages().back().text.starts_with(gbk(c.message)));
        QVERIFY(t.runner().chooser() == nullptr);
        QCOMPARE(t.page().cutStartEdit->text(), QStringLiteral("<ul>"));
        QVERIFY(t.page().patternBox->currentText().isEmpty());
    }
    QCOMPARE(t.server.requestCount(), std::size_t(1));  // only /about was asked
}

QTEST_MAIN(PlanSuggestionTest)
#include "PlanSuggestionTest.moc"
