#include "gui/plans/PlanEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>

#include "base/GbkCodec.h"
#include "gui/adapters/CutRegionBox.h"
#include "gui/adapters/UiText.h"
#include "gui/plans/HintBar.h"
#include "gui/plans/PlanList.h"
#include "gui/plans/PlanManagement.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/TabControl.h"
#include "plans/PlanEditorRules.h"
#include "store/SqlRunner.h"
#include "support/FakeMessagePresenter.h"
#include "support/FakeStatusLog.h"
#include "support/TempDatabase.h"

using lumo::gbk;
using lumo::MonitorPlan;
using lumo::PlanEditMode;
using lumo::Text;

namespace {

const QString kDefaultUa = QStringLiteral(
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/38.0.2125.122 Safari/537.36 SE 2.X MetaSr 1.0");

// A stored plan with a distinct text in every column the editor shows.
MonitorPlan storedPlan(const Text& code, const Text& type) {
    MonitorPlan p;
    p[MonitorPlan::arturl] = "http://bbs.example.test/thread-9-1-1.html";
    p[MonitorPlan::code] = code;
    p[MonitorPlan::name] = gbk("天涯论坛_休闲版块");
    p[MonitorPlan::url] = "http://bbs.example.test/forum-12-1.html";
    p[MonitorPlan::cookie] = "sid=abc; auth='x'";
    p[MonitorPlan::ua] = "LumoTest/1.0";
    p[MonitorPlan::arttile] = gbk("上次的标题");
    p[MonitorPlan::buquan] = "http://bbs.example.test/[1]";
    p[MonitorPlan::regular] = "<a href='(.*?)'>(.*?)</a>";
    p[MonitorPlan::before] = "<tbody";
    p[MonitorPlan::after] = "</table>";
    p[MonitorPlan::tindex] = "2";
    p[MonitorPlan::uindex] = "3";
    p[MonitorPlan::oindex] = "4";
    p[MonitorPlan::isdo] = "0";
    p[MonitorPlan::lastid] = "15";
    p[MonitorPlan::type] = type;
    return p;
}

// The window with plan management over a fresh lumo.sdb; boxes answered by a fake, the help page
// recorded instead of opened.
struct Editor {
    explicit Editor(std::vector<MonitorPlan> plans = {}) {
        for (MonitorPlan& p : plans) ids.push_back(temp.addPlan(p));
        list().loadPlanList();
    }

    lumo::PlanList& list() { return plans.planList(); }
    lumo::PlanEditor& editor() { return plans.editor(); }
    lumo::PlanEditorPage& page() { return *window.editorPage(); }

    // Loads the row of plan list row `row` in `mode`.
    void load(int row, PlanEditMode mode) {
        window.planListView()->selectRow(row);
        editor().loadPlanIntoEditor(mode);
    }

    Text unit(QLineEdit* box) { return lumo::gbkText(box->text()); }

    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeStatusLog log;
    lumo::MainWindow window;
    lumo::SqlRunner sql{temp.database(), log, messages};
    std::vector<QUrl> opened;
    lumo::CutRegionBox cutRegion{window.editorPage()->cutRegionBox};
    lumo::PlanManagement plans{window,
                               temp.database(),
                               sql,
                               log,
                               messages,
                               cutRegion,
                               lumo::PlanManagement::Options{[this](const QUrl& url) {
                                                                 opened.push_back(url);
                                                                 return true;
                                                             },
                                                             {}}};
    std::vector<int> ids;
};

}  // namespace

class PlanEditorTest : public QObject {
    Q_OBJECT

private slots:
    // The help page is written to the test's own cache folder.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void editFillsEveryUnitByColumn();
    void copyKeepsFieldsButInsertsANewPlan();
    void newEmptiesEverything();
    void loadingLeavesSaveHintAndTestDisplayAlone();
    void gbkAndRadiosFollowTheRow();
    void insertStoresExactlyWhatWasTyped();
    void updateSavesThePlanInPlace();
    void failedSaveKeepsTheFields();
    void saveButtonFollowsPatternChangesAndTests();
    void radiosAndUindexBox();
    void hintsFollowTheFocus();
    void helpLinkOpensTheShippedPage();
    void charactersOutsideGbkBecomeQuestionMarks();
};

void PlanEditorTest::editFillsEveryUnitByColumn() {
    Editor e({storedPlan("1", "0"), storedPlan("0", "8")});
    e.window.tabs->setCurrentIndex(lumo::MainWindow::PlansTab);
    e.load(1, PlanEditMode::Edit);
    lumo::PlanEditorPage& p = e.page();
    const MonitorPlan stored = e.temp.plan(e.ids[1]);

    QCOMPARE(e.window.tabs->currentIndex(), int(lumo::MainWindow::EditorTab));
    QVERIFY(e.window.statusBox->isHidden());
    QCOMPARE(e.unit(p.planIdEdit), std::to_string(e.ids[1]));
    QCOMPARE(p.saveButton->text(), QStringLiteral("更新规则"));
    QCOMPARE(e.unit(p.nameEdit), stored[MonitorPlan::name]);
    QCOMPARE(e.unit(p.urlEdit), stored[MonitorPlan::url]);
    QCOMPARE(e.unit(p.cutStartEdit), stored[MonitorPlan::before]);
    QCOMPARE(e.unit(p.cutEndEdit), stored[MonitorPlan::after]);
    QCOMPARE(lumo::gbkText(p.patternBox->currentText()), stored[MonitorPlan::regular]);
    QCOMPARE(e.unit(p.linkTemplateEdit), stored[MonitorPlan::buquan]);
    QCOMPARE(lumo::gbkText(p.cookieEdit->toPlainText()), stored[MonitorPlan::cookie]);
    QCOMPARE(e.unit(p.userAgentEdit), stored[MonitorPlan::ua]);
    QCOMPARE(e.unit(p.titleIndexEdit), Text("2"));
    QCOMPARE(e.unit(p.idIndexEdit), Text("3"));
    QCOMPARE(e.unit(p.otherIndexEdit), Text("4"));
    QVERIFY(!p.gbkCheck->isChecked());
    QVERIFY(p.compareIdRadio->isChecked());
    QVERIFY(p.idIndexEdit->isEnabled());
    QCOMPARE(e.editor().currentJudgementMode(), 8);

    // The editor's plan is what the units show.
    const MonitorPlan plan = e.editor().editorPlan();
    QCOMPARE(plan[MonitorPlan::regular], stored[MonitorPlan::regular]);
    QCOMPARE(plan[MonitorPlan::code], Text("0"));
    QCOMPARE(plan[MonitorPlan::type], Text("8"));
    QCOMPARE(plan[MonitorPlan::id], std::to_string(e.ids[1]));
}

void PlanEditorTest::copyKeepsFieldsButInsertsANewPlan() {
    Editor e({storedPlan("1", "2")});
    e.load(0, PlanEditMode::Copy);
    QCOMPARE(e.unit(e.page().planIdEdit), Text("0"));
    QCOMPARE(e.page().saveButton->text(), QStringLiteral("新建规则"));
    QCOMPARE(e.unit(e.page().nameEdit), gbk("天涯论坛_休闲版块"));
    QVERIFY(e.page().oldestFirstRadio->isChecked());

    QVERIFY(e.editor().savePlan());
    const auto rows = e.temp.query("select id, isdo, name, regular, type from rule order by id");
    QCOMPARE(rows.rowCount(), 2);
    QCOMPARE(rows.rows[1][1], Text("1"));
    QCOMPARE(rows.rows[1][2], gbk("天涯论坛_休闲版块"));
    QCOMPARE(rows.rows[1][3], Text("<a href='(.*?)'>(.*?)</a>"));
    QCOMPARE(rows.rows[1][4], Text("2"));
    QVERIFY(std::stoi(rows.rows[1][0]) > e.ids[0]);
    // The original stays as it was.
    QCOMPARE(e.temp.plan(e.ids[0])[MonitorPlan::isdo], Text("0"));
}

void PlanEditorTest::newEmptiesEverything() {
    Editor e({storedPlan("0", "8")});
    lumo::PlanEditorPage& p = e.page();
    // The initial contents first.
    QCOMPARE(p.cutStartEdit->text(), QStringLiteral("<html"));
    QCOMPARE(p.userAgentEdit->text(), kDefaultUa);

    e.load(0, PlanEditMode::Edit);
    e.editor().loadPlanIntoEditor(PlanEditMode::New);
    for (QLineEdit* box : {p.nameEdit, p.urlEdit, p.cutStartEdit, p.cutEndEdit, p.linkTemplateEdit,
                           p.userAgentEdit, p.titleIndexEdit, p.idIndexEdit, p.otherIndexEdit}) {
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    }
    QVERIFY(p.patternBox->currentText().isEmpty());
    QVERIFY(p.cookieEdit->toPlainText().isEmpty());
    QVERIFY(p.gbkCheck->isChecked());
    QVERIFY(p.newestFirstRadio->isChecked());
    QVERIFY(!p.compareIdRadio->isChecked());
    QVERIFY(!p.idIndexEdit->isEnabled());
    QCOMPARE(p.planIdEdit->text(), QStringLiteral("0"));
    QCOMPARE(p.saveButton->text(), QStringLiteral("新建规则"));
    QCOMPARE(e.editor().currentJudgementMode(), 0);

    // Edit and copy need a selected row.
    e.window.planListView()->clearSelection();
    e.page().nameEdit->setText(QStringLiteral("typed"));
    e.editor().loadPlanIntoEditor(PlanEditMode::Edit);
    QCOMPARE(p.nameEdit->text(), QStringLiteral("typed"));
}

void PlanEditorTest::loadingLeavesSaveHintAndTestDisplayAlone() {
    Editor e({storedPlan("1", "0")});
    lumo::PlanEditorPage& p = e.page();
    p.testResultList->setColumns({{"x", 80}});
    p.testResultList->addRow({"cell"});
    p.cutRegionBox->setPlainText(QStringLiteral("cut"));
    e.editor().hintBar().showHint("some hint");
    for (bool enabled : {false, true}) {
        p.saveButton->setEnabled(enabled);
        for (PlanEditMode mode : {PlanEditMode::Edit, PlanEditMode::Copy, PlanEditMode::New}) {
            e.load(0, mode);
            QCOMPARE(p.saveButton->isEnabled(), enabled);
        }
    }
    QCOMPARE(e.editor().hintBar().hint(), Text("some hint"));
    QCOMPARE(p.testResultList->rowCount(), 1);
    QCOMPARE(p.cutRegionBox->toPlainText(), QStringLiteral("cut"));
}

void PlanEditorTest::gbkAndRadiosFollowTheRow() {
    // code: only "0" unticks; type: its leading number, anything else than 2 and 8 shows 单选框1
    // but is kept and saved.
    Editor e({storedPlan("", "2"), storedPlan("0", "x"), storedPlan("2", "5")});
    e.load(0, PlanEditMode::Edit);
    QVERIFY(e.page().gbkCheck->isChecked());
    QVERIFY(e.page().oldestFirstRadio->isChecked());
    e.load(1, PlanEditMode::Edit);
    QVERIFY(!e.page().gbkCheck->isChecked());
    QVERIFY(e.page().newestFirstRadio->isChecked());
    QCOMPARE(e.editor().currentJudgementMode(), 0);
    e.load(2, PlanEditMode::Edit);
    QVERIFY(e.page().gbkCheck->isChecked());
    QVERIFY(e.page().newestFirstRadio->isChecked());
    QCOMPARE(e.editor().currentJudgementMode(), 5);
    QVERIFY(e.editor().savePlan());
    QCOMPARE(e.temp.plan(e.ids[2])[MonitorPlan::type], Text("5"));
    QCOMPARE(e.temp.plan(e.ids[2])[MonitorPlan::code], Text("1"));
}

void PlanEditorTest::insertStoresExactlyWhatWasTyped() {
    Editor e;
    lumo::PlanEditorPage& p = e.page();
    e.window.tabs->setCurrentIndex(lumo::MainWindow::EditorTab);
    QTest::keyClicks(p.nameEdit, QStringLiteral("O'Brien's "));
    p.nameEdit->insert(QStringLiteral("论坛; drop"));
    p.urlEdit->setText(QStringLiteral("http://bbs.example.test/list.php?a='1'"));
    p.patternBox->setEditText(QStringLiteral("<a href='(.*?)'>(.*?)</a>"));
    p.cookieEdit->setPlainText(QStringLiteral("k='v'"));
    p.titleIndexEdit->setText(QStringLiteral("2"));
    p.gbkCheck->setChecked(false);
    QTest::mouseClick(p.compareIdRadio, Qt::LeftButton);
    p.idIndexEdit->setText(QStringLiteral("1"));
    p.saveButton->setEnabled(true);

    QTest::mouseClick(p.saveButton, Qt::LeftButton);
    const auto shown = e.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].caption, gbk("方案新建成功！"));
    const Text statement =
        "insert into rule(isdo,code,url,before,after,regular,buquan,cookie,tindex,uindex,oindex,"
        "ua,name,type) values('1','0','http://bbs.example.test/list.php?a=''1''','<html',"
        "'</html>','<a href=''(.*?)''>(.*?)</a>','[]','k=''v''','2','1',''," +
        lumo::gbkText("'" + kDefaultUa + "'") + "," + gbk("'O''Brien''s 论坛; drop'") + ",'8')";
    QCOMPARE(shown[0].text, gbk("SQL语句：") + statement);

    const auto ids = e.temp.query("select id from rule");
    QCOMPARE(ids.rowCount(), 1);
    const MonitorPlan stored = e.temp.plan(std::stoi(ids.rows[0][0]));
    QCOMPARE(stored[MonitorPlan::name], gbk("O'Brien's 论坛; drop"));
    QCOMPARE(stored[MonitorPlan::url], Text("http://bbs.example.test/list.php?a='1'"));
    QCOMPARE(stored[MonitorPlan::regular], Text("<a href='(.*?)'>(.*?)</a>"));
    QCOMPARE(stored[MonitorPlan::cookie], Text("k='v'"));
    QCOMPARE(stored[MonitorPlan::before], Text("<html"));
    QCOMPARE(stored[MonitorPlan::buquan], Text("[]"));
    QCOMPARE(stored[MonitorPlan::isdo], Text("1"));
    QCOMPARE(stored[MonitorPlan::code], Text("0"));
    QCOMPARE(stored[MonitorPlan::type], Text("8"));
    QCOMPARE(stored[MonitorPlan::uindex], Text("1"));

    // Saved: the editor is empty in new mode, the list holds the new plan, ticked.
    QVERIFY(p.nameEdit->text().isEmpty());
    QVERIFY(p.cutStartEdit->text().isEmpty());
    QVERIFY(p.newestFirstRadio->isChecked());
    QCOMPARE(e.editor().currentJudgementMode(), 0);
    QCOMPARE(p.planIdEdit->text(), QStringLiteral("0"));
    QCOMPARE(e.list().rowCount(), 1);
    QCOMPARE(e.list().view()->checkedRows(), std::vector<int>({0}));
    QCOMPARE(e.list().planAt(0)[MonitorPlan::name], gbk("O'Brien's 论坛; drop"));
    // Saving leaves the button as it was, and writes nothing to the log.
    QVERIFY(p.saveButton->isEnabled());
    QCOMPARE(e.log.content(), Text());
}

void PlanEditorTest::updateSavesThePlanInPlace() {
    Editor e({storedPlan("1", "0"), storedPlan("1", "0")});
    lumo::PlanEditorPage& p = e.page();
    e.load(1, PlanEditMode::Edit);
    p.nameEdit->setText(QStringLiteral("改过的'名字'"));
    p.titleIndexEdit->clear();  // an empty index stays valid SQL
    p.otherIndexEdit->clear();
    QTest::mouseClick(p.oldestFirstRadio, Qt::LeftButton);

    QVERIFY(e.editor().savePlan());
    const auto shown = e.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].caption, gbk("方案新建成功！"));
    const Text statement =
        "update rule set code='1',url='http://bbs.example.test/forum-12-1.html',before='<tbody',"
        "after='</table>',regular='<a href=''(.*?)''>(.*?)</a>',"
        "buquan='http://bbs.example.test/[1]',cookie='sid=abc; auth=''x''',tindex='',"
        "uindex='3',oindex='',ua='LumoTest/1.0'," +
        gbk("name='改过的''名字'''") + ",type='2' where id=" + std::to_string(e.ids[1]);
    QCOMPARE(shown[0].text, gbk("SQL语句：") + statement);

    const MonitorPlan stored = e.temp.plan(e.ids[1]);
    QCOMPARE(stored[MonitorPlan::name], gbk("改过的'名字'"));
    QCOMPARE(stored[MonitorPlan::tindex], Text());
    QCOMPARE(stored[MonitorPlan::type], Text("2"));
    // Columns the editor does not edit are kept.
    QCOMPARE(stored[MonitorPlan::arttile], gbk("上次的标题"));
    QCOMPARE(stored[MonitorPlan::lastid], Text("15"));
    QCOMPARE(stored[MonitorPlan::isdo], Text("0"));
    QCOMPARE(e.temp.plan(e.ids[0])[MonitorPlan::name], gbk("天涯论坛_休闲版块"));
    QCOMPARE(e.temp.query("select count(*) from rule").rows[0][0], Text("2"));

    QCOMPARE(e.list().planAt(1)[MonitorPlan::name], gbk("改过的'名字'"));
    QVERIFY(p.nameEdit->text().isEmpty());
    QCOMPARE(p.saveButton->text(), QStringLiteral("新建规则"));
    QCOMPARE(p.planIdEdit->text(), QStringLiteral("0"));
}

void PlanEditorTest::failedSaveKeepsTheFields() {
    Editor e({storedPlan("0", "8")});
    lumo::PlanEditorPage& p = e.page();
    e.load(0, PlanEditMode::Edit);
    p.nameEdit->setText(QStringLiteral("要保留的名字"));
    QVERIFY(e.temp.database().execute("alter table rule rename to old_rule"));
    e.list().view()->clearSelection();

    QVERIFY(!e.editor().savePlan());
    const auto shown = e.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].caption, gbk("创建失败！"));
    QVERIFY(shown[0].text.starts_with(gbk("SQL语句：") + "update rule set code='0'"));
    QCOMPARE(p.nameEdit->text(), QStringLiteral("要保留的名字"));
    QCOMPARE(e.unit(p.planIdEdit), std::to_string(e.ids[0]));
    QCOMPARE(p.saveButton->text(), QStringLiteral("更新规则"));
    QCOMPARE(e.unit(p.cutStartEdit), Text("<tbody"));
    QVERIFY(p.compareIdRadio->isChecked());
    QCOMPARE(e.editor().currentJudgementMode(), 8);
    QCOMPARE(e.list().rowCount(), 1);  // not reloaded

    // With the table back, the same fields save.
    QVERIFY(e.temp.database().execute("alter table old_rule rename to rule"));
    e.messages.clear();
    QVERIFY(e.editor().savePlan());
    QCOMPARE(e.temp.plan(e.ids[0])[MonitorPlan::name], gbk("要保留的名字"));
}

void PlanEditorTest::saveButtonFollowsPatternChangesAndTests() {
    Editor e({storedPlan("1", "0")});
    lumo::PlanEditorPage& p = e.page();
    e.window.show();
    QVERIFY(!p.saveButton->isEnabled());
    QTest::keyClicks(p.patternBox->lineEdit(), QStringLiteral("<a (.*?)>"));
    QVERIFY(!p.saveButton->isEnabled());
    QCOMPARE(p.patternBox->currentText(), QStringLiteral("<a (.*?)>"));  // no completion
    e.editor().enableSave(e.editor().editorPlan());                      // a test with matches
    QVERIFY(p.saveButton->isEnabled());
    QTest::keyClick(p.patternBox->lineEdit(), Qt::Key_Backspace);
    QVERIFY(!p.saveButton->isEnabled());

    e.editor().enableSave(e.editor().editorPlan());
    p.patternBox->activated(2);  // as a pick from the list signals it
    QVERIFY(!p.saveButton->isEnabled());

    // Loading, saving and switching pages leave it alone.
    e.editor().enableSave(e.editor().editorPlan());
    e.load(0, PlanEditMode::Edit);
    QVERIFY(p.saveButton->isEnabled());
    e.window.tabs->setCurrentIndex(lumo::MainWindow::PlansTab);
    e.window.tabs->setCurrentIndex(lumo::MainWindow::EditorTab);
    QVERIFY(p.saveButton->isEnabled());
    QVERIFY(e.editor().savePlan());
    QVERIFY(p.saveButton->isEnabled());
    // Other fields do not touch it.
    QTest::keyClicks(p.nameEdit, QStringLiteral("x"));
    QVERIFY(p.saveButton->isEnabled());
}

void PlanEditorTest::radiosAndUindexBox() {
    Editor e;
    lumo::PlanEditorPage& p = e.page();
    e.window.tabs->setCurrentIndex(lumo::MainWindow::EditorTab);
    e.window.show();
    QVERIFY(!p.idIndexEdit->isEnabled());
    QTest::mouseClick(p.compareIdRadio, Qt::LeftButton);
    QVERIFY(p.idIndexEdit->isEnabled());
    QCOMPARE(e.editor().currentJudgementMode(), 8);
    QVERIFY(!p.newestFirstRadio->isChecked() && !p.oldestFirstRadio->isChecked());
    p.idIndexEdit->setText(QStringLiteral("5"));

    QTest::mouseClick(p.oldestFirstRadio, Qt::LeftButton);
    QCOMPARE(e.editor().currentJudgementMode(), 2);
    QVERIFY(!p.idIndexEdit->isEnabled());
    QCOMPARE(p.idIndexEdit->text(), QStringLiteral("5"));
    QVERIFY(!p.compareIdRadio->isChecked());

    QTest::mouseClick(p.newestFirstRadio, Qt::LeftButton);
    QCOMPARE(e.editor().currentJudgementMode(), 0);
    QVERIFY(!p.idIndexEdit->isEnabled());
    QVERIFY(!p.oldestFirstRadio->isChecked());

    // A disabled box's text is still saved.
    QTest::mouseClick(p.oldestFirstRadio, Qt::LeftButton);
    QVERIFY(e.editor().savePlan());
    const auto row = e.temp.query("select uindex, type from rule");
    QCOMPARE(row.rows.at(0), (lumo::TextList{"5", "2"}));
}

void PlanEditorTest::hintsFollowTheFocus() {
    Editor e;
    lumo::PlanEditorPage& p = e.page();
    e.window.tabs->setCurrentIndex(lumo::MainWindow::EditorTab);
    e.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&e.window));
    QVERIFY(p.hintBrowser->toPlainText().contains(
        QStringLiteral("提示：规则测试正确后，才能保存配置")));

    const std::pair<QWidget*, QString> hinted[] = {
        {p.nameEdit, QStringLiteral("方案的标识，示例：天涯论坛_休闲版块")},
        {p.urlEdit, QStringLiteral("被监控的页面地址")},
        {p.cutStartEdit, QStringLiteral("将从源码的该标记开始匹配，如不明白，可保持默认")},
        {p.cutEndEdit, QStringLiteral("采集区域从此处结束，如不明白，可保持默认")},
        {p.patternBox, QStringLiteral("重要！匹配文章的正则表达式，获取帮助")},
        {p.cookieEdit, QStringLiteral("可为空！用于需要登陆才能查看的网站")},
        {p.userAgentEdit, QStringLiteral("自定义浏览器标记，采集手机版页面可能用到！")},
        {p.gbkCheck, QStringLiteral("源站的编码，选错会乱码。勾选表示gbk，否则为utf-8")},
        {p.titleIndexEdit, QStringLiteral("正则匹配得到的 标题的索引编号。下同")},
        {p.linkTemplateEdit, QStringLiteral("合成实际的文章地址。[1]表示测试结果索引1的内容")},
    };
    for (const auto& [unit, hint] : hinted) {
        unit->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(p.hintBrowser->toPlainText(), hint);
    }

    // Units without a hint leave the last one in place.
    p.titleIndexEdit->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(p.hintBrowser->toPlainText(),
                 QStringLiteral("正则匹配得到的 标题的索引编号。下同"));
    p.idIndexEdit->setEnabled(true);
    for (QWidget* unit :
         std::initializer_list<QWidget*>{p.otherIndexEdit, p.idIndexEdit, p.oldestFirstRadio}) {
        unit->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(unit->hasFocus());
        QCOMPARE(p.hintBrowser->toPlainText(),
                 QStringLiteral("正则匹配得到的 标题的索引编号。下同"));
    }

    // A click into the pattern box shows its hint, with the link.
    QTest::mouseClick(p.patternBox->lineEdit(), Qt::LeftButton);
    QTRY_COMPARE(p.hintBrowser->toPlainText(),
                 QStringLiteral("重要！匹配文章的正则表达式，获取帮助"));
    QVERIFY(
        p.hintBrowser->toHtml().contains(QStringLiteral("href=\"lumo-help:article-patterns\"")));
}

void PlanEditorTest::helpLinkOpensTheShippedPage() {
    Editor e;
    lumo::PlanEditorPage& p = e.page();
    p.patternBox->setFocus();
    e.editor().hintBar().showHint(*lumo::fieldHint(MonitorPlan::regular));
    QVERIFY(e.opened.empty());
    emit p.hintBrowser->anchorClicked(QUrl(QStringLiteral("lumo-help:article-patterns")));
    QCOMPARE(e.opened.size(), std::size_t(1));
    QVERIFY(e.opened[0].isLocalFile());
    QFile written(e.opened[0].toLocalFile());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(written.readAll());
    QVERIFY(html.contains(QStringLiteral("如何编写文章匹配规则")));
    QVERIFY(html.contains(QStringLiteral("(.*?)")));

    // No other link opens anything.
    emit p.hintBrowser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    emit p.hintBrowser->anchorClicked(QUrl(QStringLiteral("http://example.com/")));
    QCOMPARE(e.opened.size(), std::size_t(1));
}

void PlanEditorTest::charactersOutsideGbkBecomeQuestionMarks() {
    Editor e;
    lumo::PlanEditorPage& p = e.page();
    p.nameEdit->setText(QStringLiteral("论坛😀版块"));
    p.userAgentEdit->setText(QString::fromUtf8("UA \xEA\xB0\x80"));  // a Hangul syllable
    QCOMPARE(e.editor().editorPlan()[MonitorPlan::name], gbk("论坛") + "??" + gbk("版块"));
    QVERIFY(e.editor().savePlan());
    const auto row = e.temp.query("select name, ua from rule");
    QCOMPARE(row.rows.at(0).at(0), gbk("论坛") + "??" + gbk("版块"));
    QCOMPARE(row.rows.at(0).at(1), Text("UA ?"));
}

QTEST_MAIN(PlanEditorTest)
#include "PlanEditorTest.moc"
