// What the user writes from the window (a plan saved, a plan ticked, the SQL console) while
// another connection holds the write lock: it gives up as soon as a list reload would, says so,
// and writes nothing; the window is not held for the workers' busy timeout.
#include <sqlite3.h>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/StatusLogBox.h"
#include "gui/plans/PlanList.h"
#include "gui/window/MainWindow.h"
#include "gui/window/PlanEditorPage.h"
#include "gui/window/ReportListView.h"
#include "gui/window/SettingsPage.h"
#include "store/SqlRunner.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"
#include "testkit/BoardPage.h"

using lumo::gbk;
using lumo::Text;

namespace {

// Another program's connection in the middle of a write transaction.
class HeldLock {
public:
    explicit HeldLock(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        ok_ = sqlite3_exec(db_, "BEGIN IMMEDIATE; update rule set name=name;", nullptr, nullptr,
                           nullptr) == SQLITE_OK;
    }
    ~HeldLock() {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
    bool ok() const { return ok_; }

private:
    sqlite3* db_ = nullptr;
    bool ok_ = false;
};

// Well below the 5 s a worker's statement waits: the window's writes must not take that long.
constexpr qint64 kWindowPatienceMs = 2000;

bool contains(const Text& text, const Text& part) {
    return text.find(part) != Text::npos;
}

}  // namespace

class WindowWritesTest : public QObject {
    Q_OBJECT

private slots:
    void writesUnderAnotherConnectionsLockGiveUpAtOnceAndSaySo() {
        lumo::test::TempDatabase database;
        lumo::MonitorPlan plan = lumo::test::BoardPage::plan("http://bbs.example.test/", true);
        plan[lumo::MonitorPlan::isdo] = "0";
        const int id = database.addPlan(plan);
        lumo::test::FakeMessagePresenter messages;
        lumo::LumoApplication app(lumo::LumoApplication::Options{
            QString::fromStdString(database.directory()), &messages});
        app.start();
        lumo::MainWindow& w = app.window();
        const Text busy = lumo::SqlRunner::busyNote(100);
        std::optional<HeldLock> lock(std::in_place, database.path());
        QVERIFY(lock->ok());
        QElapsedTimer clock;

        // Ticking a plan ("默认勾选").
        w.planListView()->selectionModel()->select(
            w.planListView()->model()->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        clock.start();
        app.planList().tickSelectedPlan();
        QVERIFY(clock.elapsed() < kWindowPatienceMs);
        QVERIFY(contains(app.statusLog().text(), gbk("执行出错！错误代码：5")));
        QVERIFY(contains(app.statusLog().text(), "\r\n" + busy + "----"));

        // The SQL console.
        w.settingsPage()->sqlEdit->setPlainText("update rule set isdo=0");
        clock.restart();
        w.settingsPage()->runSqlButton->click();
        QVERIFY(clock.elapsed() < kWindowPatienceMs);

        // Saving a plan from the editor.
        lumo::PlanEditorPage* editor = w.editorPage();
        editor->nameEdit->setText(QStringLiteral("新方案"));
        editor->saveButton->setEnabled(true);
        clock.restart();
        editor->saveButton->click();
        QVERIFY(clock.elapsed() < kWindowPatienceMs);
        const auto shown = messages.messages();
        QVERIFY(!shown.empty());
        QCOMPARE(shown.back().caption, gbk("创建失败！"));
        QVERIFY(contains(shown.back().text, busy));

        // Nothing of it was written.
        lock.reset();
        QCOMPARE(database.plan(id)[lumo::MonitorPlan::isdo], Text("0"));
        const lumo::QueryResult rules = database.database().query("select count(*) from rule");
        QCOMPARE(rules.rows.at(0).at(0), Text("1"));
    }
};

QTEST_MAIN(WindowWritesTest)
#include "WindowWritesTest.moc"
