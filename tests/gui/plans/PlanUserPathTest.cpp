// The user's path through plan management in the whole program: a new plan, its rule test
// against a local board, the save, then editing and copying it from the plan list.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/UiText.h"
#include "gui/plans/PlanList.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/TabControl.h"
#include "gui/window/WindowMenus.h"
#include "support/FakeMessagePresenter.h"
#include "support/LocalHttpServer.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

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
    lumo::PlanEditorPage& p = *w.editorPage();
    lumo::WindowMenus& menus = *w.menus;

    // "新建监控方案", fill in, test.
    menus.newPlan->trigger();
    QCOMPARE(w.tabs->currentIndex(), int(lumo::MainWindow::EditorTab));
    p.nameEdit->setText(QStringLiteral("本地论坛_灌水"));
    p.urlEdit->setText(lumo::qtText(server.url("/board")));
    p.cutStartEdit->setText(QString::fromLatin1(BoardPage::kListStart));
    p.cutEndEdit->setText(QString::fromLatin1(BoardPage::kListEnd));
    p.patternBox->setEditText(QString::fromLatin1(BoardPage::kPattern));
    p.linkTemplateEdit->setText(QStringLiteral("http://bbs.example.test/[1]"));
    p.titleIndexEdit->setText(QStringLiteral("3"));
    p.idIndexEdit->setText(QStringLiteral("2"));
    p.otherIndexEdit->setText(QStringLiteral("4"));
    p.userAgentEdit->setText(QStringLiteral("LumoTest/1.0"));
    QVERIFY(!p.saveButton->isEnabled());
    QTest::mouseClick(p.testButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.testButton->isEnabled(), 15000);
    QCOMPARE(p.testResultList->rowCount(), 50);
    QCOMPARE(p.testResultList->columnCount(), 4);
    QVERIFY(p.saveButton->isEnabled());
    QVERIFY(messages.messages().empty());

    // Save: a new plan, ticked in the list.
    QTest::mouseClick(p.saveButton, Qt::LeftButton);
    QCOMPARE(messages.messages().size(), std::size_t(1));
    QCOMPARE(messages.messages()[0].caption, gbk("方案新建成功！"));
    lumo::PlanList& list = app.planList();
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(w.planListView()->checkedRows(), std::vector<int>({0}));
    const MonitorPlan saved = list.planAt(0);
    QCOMPARE(saved[MonitorPlan::name], gbk("本地论坛_灌水"));
    QCOMPARE(saved[MonitorPlan::regular], Text(BoardPage::kPattern));
    QCOMPARE(saved[MonitorPlan::before], Text(BoardPage::kListStart));
    QCOMPARE(saved[MonitorPlan::code], Text("1"));
    QCOMPARE(saved[MonitorPlan::type], Text("0"));
    QVERIFY(p.nameEdit->text().isEmpty());

    // "编辑": change the mode and the name, save in place.
    w.tabs->setCurrentIndex(lumo::MainWindow::PlansTab);
    w.planListView()->selectRow(0);
    list.updatePlanMenu();
    menus.editPlan->trigger();
    QCOMPARE(p.planIdEdit->text(), lumo::qtText(saved[MonitorPlan::id]));
    QCOMPARE(p.patternBox->currentText(), QString::fromLatin1(BoardPage::kPattern));
    QTest::mouseClick(p.compareIdRadio, Qt::LeftButton);
    p.nameEdit->setText(QStringLiteral("本地论坛_改名"));
    QTest::mouseClick(p.saveButton, Qt::LeftButton);
    QCOMPARE(messages.messages().back().caption, gbk("方案新建成功！"));
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.planAt(0)[MonitorPlan::name], gbk("本地论坛_改名"));
    QCOMPARE(list.planAt(0)[MonitorPlan::type], Text("8"));

    // "复制": a second plan with the same fields.
    w.planListView()->selectRow(0);
    list.updatePlanMenu();
    menus.copyPlan->trigger();
    QCOMPARE(p.planIdEdit->text(), QStringLiteral("0"));
    QVERIFY(p.compareIdRadio->isChecked());
    QTest::mouseClick(p.saveButton, Qt::LeftButton);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(w.planListView()->checkedRows(), std::vector<int>({0, 1}));
    QCOMPARE(list.planAt(1)[MonitorPlan::name], gbk("本地论坛_改名"));
    QCOMPARE(list.planAt(1)[MonitorPlan::uindex], Text("2"));
    QVERIFY(list.planAt(1)[MonitorPlan::id] != list.planAt(0)[MonitorPlan::id]);
}

QTEST_MAIN(PlanUserPathTest)
#include "PlanUserPathTest.moc"
