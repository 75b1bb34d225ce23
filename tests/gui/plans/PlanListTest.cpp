#include "gui/plans/PlanList.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/StatusLogBox.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "gui/window/TabControl.h"
#include "gui/window/WindowMenus.h"
#include "store/PlanHealth.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"

using lumo::gbk;
using lumo::MonitorPlan;
using lumo::Text;

namespace {

MonitorPlan plan(const char* name, const Text& isdo) {
    MonitorPlan p;
    p[MonitorPlan::code] = "1";
    p[MonitorPlan::name] = gbk(name);
    p[MonitorPlan::url] = "http://bbs.example.test/forum-12-1.html";
    p[MonitorPlan::regular] = "<a href=\"(.*?)\">(.*?)</a>";
    p[MonitorPlan::isdo] = isdo;
    p[MonitorPlan::type] = "0";
    return p;
}

// The program over a fresh lumo.sdb holding `plans`, started as the user would start it.
struct Program {
    explicit Program(std::vector<MonitorPlan> plans = {}) {
        for (MonitorPlan& p : plans) ids.push_back(temp.addPlan(p));
        app = std::make_unique<lumo::LumoApplication>(
            lumo::LumoApplication::Options{QString::fromStdString(temp.directory()), &messages});
        app->start();
    }

    lumo::PlanList& list() { return app->planList(); }
    lumo::ReportListView* view() { return app->window().planListView(); }
    lumo::WindowMenus& menus() { return *app->window().menus; }

    // A right click on a row (or below the rows for -1), as the user makes it; the menu it pops
    // up is closed again with Escape. Gives where the click was, on the screen.
    QPoint rightClick(int row) {
        lumo::ReportListView* v = view();
        const QPoint at = row >= 0 ? v->visualRect(v->model()->index(row, 1)).center()
                                   : QPoint(20, v->viewport()->height() - 5);
        QTest::mouseClick(v->viewport(), Qt::RightButton, {}, at);
        QMenu* const menu = menus().planMenu;
        poppedUp = menu->isVisible();
        if (poppedUp) QTest::keyClick(menu, Qt::Key_Escape);
        return v->viewport()->mapToGlobal(at);
    }

    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    std::unique_ptr<lumo::LumoApplication> app;
    std::vector<int> ids;
    // Whether the last right click popped the plan menu up.
    bool poppedUp = false;
};

}  // namespace

class PlanListTest : public QObject {
    Q_OBJECT

private slots:
    void emptyTableGivesCaptionedColumnsOnly();
    void rowsHoldTheTableAndTicksFollowIsdo();
    void extraColumnsAreShown();
    void failedQueryKeepsTheRowsShown();
    void reloadDropsHandTicksAndSelection();
    void menuStatesFollowTheSelection();
    void defaultTickTicksAndStores();
    void defaultTickFailureKeepsTheTick();
    void deleteOnlyAnswersNotYetAvailable();
    void editorCommandsSwitchToTheEditorPage();
    void brokenPlansAreMarkedWithTheReasonAndSinceWhen();
};

void PlanListTest::emptyTableGivesCaptionedColumnsOnly() {
    Program program;
    lumo::ReportListView* v = program.view();
    const QStringList expected = {"0id",      "1arturl",   "2code",    "3name",     "4url",
                                  "5cookie",  "6ua",       "7arttile", "8lasttime", "9spare",
                                  "10buquan", "11regular", "12before", "13after",   "14tindex",
                                  "15uindex", "16oindex",  "17isdo",   "18lastid",  "19type"};
    QCOMPARE(v->columnCount(), 20);
    for (int c = 0; c < 20; ++c) {
        QCOMPARE(v->horizontalHeaderItem(c)->text(), expected[c]);
        QCOMPARE(v->columnWidth(c), 80);
        QVERIFY(!v->isColumnHidden(c));
    }
    QCOMPARE(v->rowCount(), 0);
    QCOMPARE(program.list().rowCount(), 0);
    QVERIFY(program.view()->checkedRows().empty());
    QVERIFY(program.messages.messages().empty());
}

void PlanListTest::rowsHoldTheTableAndTicksFollowIsdo() {
    MonitorPlan quoted = plan("引号's 方案", "1");
    quoted[MonitorPlan::cookie] = "a=1; b='2'";
    Program program({quoted, plan("未勾选", "0"), plan("空的", ""), plan("是 1 ", " 1")});
    lumo::PlanList& list = program.list();
    QCOMPARE(list.rowCount(), 4);
    QVERIFY(program.view()->isRowChecked(0));
    QVERIFY(!program.view()->isRowChecked(1));
    QVERIFY(!program.view()->isRowChecked(2));
    QVERIFY(!program.view()->isRowChecked(3));
    QCOMPARE(program.view()->checkedRows(), std::vector<int>({0}));

    // Every cell is the table's text by column position, the id first.
    const MonitorPlan first = list.planAt(0);
    QCOMPARE(first[MonitorPlan::id], std::to_string(program.ids[0]));
    QCOMPARE(first[MonitorPlan::name], gbk("引号's 方案"));
    QCOMPARE(first[MonitorPlan::cookie], Text("a=1; b='2'"));
    QCOMPARE(first[MonitorPlan::regular], quoted[MonitorPlan::regular]);
    QCOMPARE(first[MonitorPlan::arttile], Text());  // NULL shows as empty
    QCOMPARE(program.view()->item(0, MonitorPlan::name)->text(), QStringLiteral("引号's 方案"));
    QCOMPARE(list.planAt(1)[MonitorPlan::isdo], Text("0"));
    QCOMPARE(list.planAt(3)[MonitorPlan::isdo], Text(" 1"));
    // Rows in table order: ascending id.
    QVERIFY(std::stoi(list.planAt(1)[MonitorPlan::id]) <
            std::stoi(list.planAt(2)[MonitorPlan::id]));
    QCOMPARE(list.planAt(7)[MonitorPlan::id], Text());
}

void PlanListTest::extraColumnsAreShown() {
    Program program({plan("甲", "1")});
    QVERIFY(program.app->database().execute("alter table rule add column extra TEXT"));
    QVERIFY(program.app->database().execute("update rule set extra='more'"));
    program.list().loadPlanList();
    QCOMPARE(program.view()->columnCount(), 21);
    QCOMPARE(program.view()->horizontalHeaderItem(20)->text(), QStringLiteral("20extra"));
    QCOMPARE(program.view()->cellText(0, 20), Text("more"));
    QVERIFY(program.view()->isRowChecked(0));
    QCOMPARE(program.list().planAt(0)[MonitorPlan::name], gbk("甲"));
}

void PlanListTest::failedQueryKeepsTheRowsShown() {
    Program program({plan("甲", "1")});
    QCOMPARE(program.list().rowCount(), 1);
    QVERIFY(program.app->database().execute("alter table rule rename to old_rule"));
    program.app->statusLog().replace("");
    program.list().loadPlanList();
    QCOMPARE(program.view()->columnCount(), 20);
    QCOMPARE(program.view()->rowCount(), 1);
    QCOMPARE(program.list().planAt(0)[MonitorPlan::name], gbk("甲"));
    QVERIFY(program.messages.messages().empty());
    QCOMPARE(program.app->statusLog().text(),
             gbk("\r\n列表读取失败（错误代码：1），仍显示上次读到的内容"));
}

void PlanListTest::reloadDropsHandTicksAndSelection() {
    Program program({plan("甲", "1"), plan("乙", "0")});
    lumo::ReportListView* v = program.view();
    v->setRowChecked(0, false);
    v->setRowChecked(1, true);
    v->selectRow(1);
    QCOMPARE(program.view()->checkedRows(), std::vector<int>({1}));
    // Ticking by hand changes nothing stored.
    QCOMPARE(program.temp.plan(program.ids[1])[MonitorPlan::isdo], Text("0"));
    program.list().loadPlanList();
    QCOMPARE(program.view()->checkedRows(), std::vector<int>({0}));
    QCOMPARE(program.list().selectedRow(), -1);
}

void PlanListTest::menuStatesFollowTheSelection() {
    Program program({plan("甲", "1"), plan("乙", "0")});
    program.app->window().tabs->setCurrentIndex(lumo::MainWindow::PlansTab);
    QVERIFY(QTest::qWaitForWindowExposed(&program.app->window()));
    lumo::WindowMenus& menus = program.menus();

    const QPoint clicked = program.rightClick(-1);
    QVERIFY(program.poppedUp);
    QCOMPARE(menus.planMenu->pos(), clicked);
    QVERIFY(!menus.planMenu->isVisible());
    QVERIFY(menus.newPlan->isEnabled());
    QVERIFY(!menus.editPlan->isEnabled());
    QVERIFY(!menus.deletePlan->isEnabled());
    QVERIFY(!menus.copyPlan->isEnabled());
    QVERIFY(!menus.tickPlan->isEnabled());

    program.rightClick(0);  // a right click selects the row under the pointer
    QCOMPARE(program.list().selectedRow(), 0);
    QVERIFY(menus.newPlan->isEnabled());
    QVERIFY(menus.editPlan->isEnabled());
    QVERIFY(menus.deletePlan->isEnabled());
    QVERIFY(menus.copyPlan->isEnabled());
    QVERIFY(!menus.tickPlan->isEnabled());  // isdo is already "1"

    program.rightClick(1);
    QCOMPARE(program.list().selectedRow(), 1);
    QVERIFY(menus.editPlan->isEnabled());
    QVERIFY(menus.tickPlan->isEnabled());

    // The items in order.
    const QList<QAction*> items = menus.planMenu->actions();
    QCOMPARE(items.size(), 7);
    QCOMPARE(items[0]->text(), QStringLiteral("新建监控方案"));
    QVERIFY(items[1]->isSeparator());
    QCOMPARE(items[2]->text(), QStringLiteral("编辑"));
    QCOMPARE(items[3]->text(), QStringLiteral("删除"));
    QCOMPARE(items[4]->text(), QStringLiteral("复制"));
    QVERIFY(items[5]->isSeparator());
    QCOMPARE(items[6]->text(), QStringLiteral("默认勾选"));
}

void PlanListTest::defaultTickTicksAndStores() {
    Program program({plan("甲", "1"), plan("乙", "0")});
    program.app->statusLog().replace("");
    program.view()->selectRow(1);
    program.list().updatePlanMenu();
    QVERIFY(program.menus().tickPlan->isEnabled());

    program.menus().tickPlan->trigger();
    QVERIFY(program.view()->isRowChecked(1));
    QCOMPARE(program.temp.plan(program.ids[1])[MonitorPlan::isdo], Text("1"));
    const Text statement = "update rule set isdo=1 where id=" + std::to_string(program.ids[1]);
    QCOMPARE(program.app->statusLog().text(), "\r\n" + statement + gbk("成功！SQL：") + statement);
    QVERIFY(program.messages.messages().empty());
    // The list's isdo cell is refreshed only by a reload.
    program.list().updatePlanMenu();
    QVERIFY(program.menus().tickPlan->isEnabled());

    program.list().loadPlanList();
    QVERIFY(program.view()->isRowChecked(1));
    program.view()->selectRow(1);
    program.list().updatePlanMenu();
    QVERIFY(!program.menus().tickPlan->isEnabled());
}

void PlanListTest::defaultTickFailureKeepsTheTick() {
    Program program({plan("乙", "0")});
    program.view()->selectRow(0);
    program.list().updatePlanMenu();
    QVERIFY(program.app->database().execute("alter table rule rename to old_rule"));
    program.menus().tickPlan->trigger();
    QVERIFY(program.view()->isRowChecked(0));
    const auto shown = program.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].text, gbk("执行出错！错误代码：1"));
}

void PlanListTest::deleteOnlyAnswersNotYetAvailable() {
    Program program({plan("甲", "1")});
    program.view()->selectRow(0);
    program.list().updatePlanMenu();
    program.menus().deletePlan->trigger();
    const auto shown = program.messages.messages();
    QCOMPARE(shown.size(), std::size_t(1));
    QCOMPARE(shown[0].text, gbk("此功能下个版本见!"));
    QCOMPARE(shown[0].caption, gbk("信息："));
    program.list().loadPlanList();
    QCOMPARE(program.list().rowCount(), 1);
    QCOMPARE(program.temp.query("select count(*) from rule").rows.at(0).at(0), Text("1"));
}

void PlanListTest::editorCommandsSwitchToTheEditorPage() {
    Program program({plan("甲", "1")});
    lumo::MainWindow& w = program.app->window();
    w.show();
    for (QAction* command :
         {program.menus().newPlan, program.menus().editPlan, program.menus().copyPlan}) {
        w.tabs->setCurrentIndex(lumo::MainWindow::PlansTab);
        program.view()->selectRow(0);
        program.list().updatePlanMenu();
        QVERIFY(w.statusBox->isVisible());
        command->trigger();
        QCOMPARE(w.tabs->currentIndex(), int(lumo::MainWindow::EditorTab));
        QVERIFY(!w.statusBox->isVisible());
        // The editor holds the row, or nothing for a new plan.
        const QString name = command == program.menus().newPlan ? QString() : QStringLiteral("甲");
        QCOMPARE(w.editorPage()->nameEdit->text(), name);
        const QString id = command == program.menus().editPlan ? QString::number(program.ids[0])
                                                               : QStringLiteral("0");
        QCOMPARE(w.editorPage()->planIdEdit->text(), id);
    }
}

void PlanListTest::brokenPlansAreMarkedWithTheReasonAndSinceWhen() {
    MonitorPlan broken = plan("坏了", "1");
    MonitorPlan failing = plan("偶尔失败", "1");
    Program program({broken, failing});
    lumo::DatabaseConnection& db = program.temp.database();
    QVERIFY(db.execute(lumo::PlanHealth::createTableStatement()));
    for (int n = 0; n < 3; ++n) {
        QVERIFY(db.execute(lumo::PlanHealth::recordStatement(
            std::to_string(program.ids[0]), lumo::PlanHealth::kFailed, gbk("无法连接：连接被拒绝"),
            "2026-12-9 8:0:" + std::to_string(n))));
    }
    QVERIFY(db.execute(lumo::PlanHealth::recordStatement(
        std::to_string(program.ids[1]), lumo::PlanHealth::kFailed, gbk("x"), "2026-12-9 8:0:0")));
    program.list().loadPlanList();
    QTableWidgetItem* name = program.view()->item(0, MonitorPlan::name);
    QCOMPARE(
        name->toolTip(),
        QStringLiteral("方案失效：无法连接：连接被拒绝（自 2026-12-9 8:0:0 起连续 3 次检查失败）"));
    QVERIFY(name->foreground().color() !=
            program.view()->item(1, MonitorPlan::name)->foreground().color());
    QCOMPARE(program.view()->item(0, MonitorPlan::url)->toolTip(), name->toolTip());
    // One failure is not yet broken.
    QVERIFY(program.view()->item(1, MonitorPlan::name)->toolTip().isEmpty());

    // A new threshold in the settings page marks the rows again and keeps them and their ticks
    // as they are.
    const QColor usual = program.view()->item(1, MonitorPlan::name)->foreground().color();
    program.view()->setRowChecked(1, false);
    QSpinBox* threshold = program.app->window().settingsPage()->brokenAfterBox;
    threshold->setValue(1);
    QVERIFY(!program.view()->item(1, MonitorPlan::name)->toolTip().isEmpty());
    threshold->setValue(4);
    QVERIFY(program.view()->item(0, MonitorPlan::name)->toolTip().isEmpty());
    QCOMPARE(program.view()->item(0, MonitorPlan::name)->foreground().color(), usual);
    QVERIFY(!program.view()->isRowChecked(1));
}

QTEST_MAIN(PlanListTest)
#include "PlanListTest.moc"
