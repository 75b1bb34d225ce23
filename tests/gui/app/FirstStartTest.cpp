// The window's database choice: a file named by the caller, and the first-start question of the
// installed layout, with a fake presenter and with real message boxes.
#include <sqlite3.h>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/LumoApplication.h"
#include "base/GbkCodec.h"
#include "gui/adapters/QtMessagePresenter.h"
#include "gui/plans/PlanList.h"
#include "gui/window/MainWindow.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"

using lumo::gbk;

namespace {

lumo::LumoApplication::Options optionsFor(const QString& programDir, const QString& database,
                                          lumo::MessagePresenter& messages, bool offer) {
    lumo::LumoApplication::Options options{programDir, &messages};
    options.databasePath = database;
    options.offerToCreateDatabase = offer;
    return options;
}

// Clicks `button` of the next message box to appear, as a user would.
void answerNextBox(QMessageBox::StandardButton button, QString* text) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        timer->stop();
        timer->deleteLater();
        *text = box->text();
        box->button(button)->click();
    });
    timer->start(10);
}

}  // namespace

class FirstStartTest : public QObject {
    Q_OBJECT

private slots:
    void yesCreatesTheDatabaseWithItsFolderAndOpensIt() {
        QTemporaryDir home;
        const QString path = home.filePath("data/lumo/lumo.sdb");
        lumo::test::FakeMessagePresenter messages;
        messages.answer = true;
        lumo::LumoApplication app(optionsFor(home.filePath("bin"), path, messages, true));
        app.start();
        const auto shown = messages.messages();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0].caption, gbk("首次启动"));
        QVERIFY(shown[0].text.find(path.toStdString()) != std::string::npos);
        QVERIFY(QFile::exists(path));
        QVERIFY(app.database().isOpen());
        QVERIFY(app.window().runButton->isEnabled());
        QCOMPARE(app.database().query("select * from rule").columnCount(), 20);
        QCOMPARE(QFile(home.filePath("data/lumo")).permissions() & QFileDevice::ReadGroup,
                 QFileDevice::Permissions());
    }

    void noEndsWithTheMissingFileMessageAndCreatesNothing() {
        QTemporaryDir home;
        const QString path = home.filePath("data/lumo/lumo.sdb");
        lumo::test::FakeMessagePresenter messages;
        lumo::LumoApplication app(optionsFor(home.filePath("bin"), path, messages, true));
        app.start();
        const auto shown = messages.messages();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[1].text, gbk("数据库文件不存在！"));
        QCOMPARE(shown[1].caption, gbk("错误"));
        QVERIFY(!app.window().runButton->isEnabled());
        QVERIFY(!app.database().isOpen());
        QVERIFY(!QDir(home.filePath("data")).exists());
    }

    void aNamedFileIsOpenedOrReportedMissingWithoutAQuestion() {
        lumo::test::TempDatabase temp;
        lumo::MonitorPlan plan;
        plan[lumo::MonitorPlan::name] = "named";
        temp.addPlan(plan);
        QTemporaryDir elsewhere;
        lumo::test::FakeMessagePresenter messages;
        {
            lumo::LumoApplication app(
                optionsFor(elsewhere.path(), QString::fromStdString(temp.path()), messages, false));
            app.start();
            QVERIFY(messages.messages().empty());
            QVERIFY(app.database().isOpen());
            QCOMPARE(app.planList().rowCount(), 1);
        }
        messages.answer = true;
        lumo::LumoApplication app(
            optionsFor(elsewhere.path(), elsewhere.filePath("none.sdb"), messages, false));
        app.start();
        const auto shown = messages.messages();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown[0].text, gbk("数据库文件不存在！"));
        QVERIFY(!QFile::exists(elsewhere.filePath("none.sdb")));
    }

    void realQuestionBoxesAnswerYesAndNo() {
        lumo::QtMessagePresenter presenter;
        QString text;
        answerNextBox(QMessageBox::Yes, &text);
        QVERIFY(presenter.askYesNo(gbk("要创建吗？"), gbk("首次启动")));
        QCOMPARE(text, QStringLiteral("要创建吗？"));
        answerNextBox(QMessageBox::No, &text);
        QVERIFY(!presenter.askYesNo(gbk("再问一次"), gbk("首次启动")));
        QCOMPARE(text, QStringLiteral("再问一次"));
    }

    // Another program's SQLite file where lumo.sdb should be: a real box says why, the file is
    // left as it was and `运行` cannot be pressed.
    void anotherProgramsFileIsRefusedWithARealBox() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lumo.sdb");
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "create table notes(body text)", nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(other);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        lumo::QtMessagePresenter presenter;
        lumo::LumoApplication app(optionsFor(dir.path(), path, presenter, false));
        QString text;
        answerNextBox(QMessageBox::Ok, &text);
        app.start();
        QVERIFY(text.startsWith(QStringLiteral("无法打开数据库：") + path));
        QVERIFY(text.contains(QStringLiteral("is not a Lumo database")));
        QVERIFY(!app.window().runButton->isEnabled());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_MAIN(FirstStartTest)
#include "FirstStartTest.moc"
