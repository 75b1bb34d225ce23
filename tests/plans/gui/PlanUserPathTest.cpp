// The user's path through plan management in the whole program: a new plan, its rule test
// against a local board, the save, then editing and copying it from the plan list.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/GbkCodec.h"
#include "app/gui/LumoApplication.h"
#include "plans/gui/PlanList.h"
#include "support/BoardPage.h"
#include "support/FakeMessagePresenter.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "ui/MainWindow.h"
#include "ui/PlanEditorPage.h"
#include "ui/ReportListView.h"
#include "ui/TabControl.h"
#include "ui/UiText.h"
#include "ui/WindowMenus.h"

using lumo::gbk;
using lumo::MonitorPlan;
using lumo::Text;
using lumo::test::BoardPage;

class PlanUserPathTest : public QObject {
    Q_OBJECT

private slots:
    void newTestSaveEditCopy();
};

void PlanUserPathTest::newTestSaveEditCopy() {
    lumo::test::LocalHttpServer server;
    server.page("/board", BoardPage::gbkPage(BoardPage::threads(150, 50)));
    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::LumoApplication app({QString::fromStdString(temp.directory()), &messages});
    app.start();
    lumo::MainWindow& w = app.window();
    lumo::PlanEditorPage& p = *w.editorPage;
    lumo::WindowMenus& menus = *w.menus;

    // "新建监控方案", fill in, test.
    menus.newPlan->trigger();
    QCOMPARE(w.选择夹->currentIndex(), int(lumo::MainWindow::EditorPage));
    p.编辑框_站名->setText(QStringLiteral("本地论坛_灌水"));
    p.编辑框_网址->setText(lumo::qtText(server.url("/board")));
    p.采集前->setText(QString::fromLatin1(BoardPage::kListStart));
    p.采集后->setText(QString::fromLatin1(BoardPage::kListEnd));
    p.正则框->setEditText(QString::fromLatin1(BoardPage::kPattern));
    p.补全框->setText(QStringLiteral("http://bbs.example.test/[1]"));
    p.tindex框->setText(QStringLiteral("3"));
    p.uindex框->setText(QStringLiteral("2"));
    p.oindex框->setText(QStringLiteral("4"));
    p.ua框->setText(QStringLiteral("LumoTest/1.0"));
    QVERIFY(!p.按钮_保存配置->isEnabled());
    QTest::mouseClick(p.按钮_测试配置, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.按钮_测试配置->isEnabled(), 15000);
    QCOMPARE(p.测试列表框->rowCount(), 50);
    QCOMPARE(p.测试列表框->columnCount(), 4);
    QVERIFY(p.按钮_保存配置->isEnabled());
    QVERIFY(messages.messages().empty());

    // Save: a new plan, ticked in the list.
    QTest::mouseClick(p.按钮_保存配置, Qt::LeftButton);
    QCOMPARE(messages.messages().size(), std::size_t(1));
    QCOMPARE(messages.messages()[0].caption, gbk("方案新建成功！"));
    lumo::PlanList& list = app.planList();
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.tickedRows(), std::vector<int>({0}));
    const MonitorPlan saved = list.planAt(0);
    QCOMPARE(saved[MonitorPlan::name], gbk("本地论坛_灌水"));
    QCOMPARE(saved[MonitorPlan::regular], Text(BoardPage::kPattern));
    QCOMPARE(saved[MonitorPlan::before], Text(BoardPage::kListStart));
    QCOMPARE(saved[MonitorPlan::code], Text("1"));
    QCOMPARE(saved[MonitorPlan::type], Text("0"));
    QVERIFY(p.编辑框_站名->text().isEmpty());

    // "编辑": change the mode and the name, save in place.
    w.选择夹->setCurrentIndex(lumo::MainWindow::PlansPage);
    w.项目列表框->selectRow(0);
    list.updatePlanMenu();
    menus.editPlan->trigger();
    QCOMPARE(p.项目编号框->text(), lumo::qtText(saved[MonitorPlan::id]));
    QCOMPARE(p.正则框->currentText(), QString::fromLatin1(BoardPage::kPattern));
    QTest::mouseClick(p.单选框3, Qt::LeftButton);
    p.编辑框_站名->setText(QStringLiteral("本地论坛_改名"));
    QTest::mouseClick(p.按钮_保存配置, Qt::LeftButton);
    QCOMPARE(messages.messages().back().caption, gbk("方案新建成功！"));
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.planAt(0)[MonitorPlan::name], gbk("本地论坛_改名"));
    QCOMPARE(list.planAt(0)[MonitorPlan::type], Text("8"));

    // "复制": a second plan with the same fields.
    w.项目列表框->selectRow(0);
    list.updatePlanMenu();
    menus.copyPlan->trigger();
    QCOMPARE(p.项目编号框->text(), QStringLiteral("0"));
    QVERIFY(p.单选框3->isChecked());
    QTest::mouseClick(p.按钮_保存配置, Qt::LeftButton);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.tickedRows(), std::vector<int>({0, 1}));
    QCOMPARE(list.planAt(1)[MonitorPlan::name], gbk("本地论坛_改名"));
    QCOMPARE(list.planAt(1)[MonitorPlan::uindex], Text("2"));
    QVERIFY(list.planAt(1)[MonitorPlan::id] != list.planAt(0)[MonitorPlan::id]);
}

QTEST_MAIN(PlanUserPathTest)
#include "PlanUserPathTest.moc"
