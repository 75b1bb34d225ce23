#include "gui/articles/ArticleViews.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <memory>

#include "app/LumoApplication.h"
#include "articles/ArticleDetails.h"
#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "gui/adapters/StatusLogBox.h"
#include "gui/adapters/UiText.h"
#include "gui/window/MainWindow.h"
#include "gui/window/ReportListView.h"
#include "gui/window/TabControl.h"
#include "gui/window/WindowMenus.h"
#include "store/SqlRunner.h"
#include "support/ArticleRows.h"
#include "support/FakeLinkOpener.h"
#include "support/FakeMessagePresenter.h"
#include "support/TempDatabase.h"

using lumo::gbk;
using lumo::Text;
using lumo::TextList;

namespace {

// The window with its article lists over a temporary lumo.sdb, the real status box and statement
// runner, and fakes for the message boxes and the browser.
struct Fixture {
    explicit Fixture(int articles = 150) {
        lumo::test::addBoardArticles(temp.database(), articles);
        window.show();
        window.tabs->setCurrentIndex(lumo::MainWindow::LatestArticlesTab);
    }

    void load() {
        views.loadLatestArticles();
        views.loadFavourites();
    }

    int count(const char* sql) {
        const lumo::QueryResult result = temp.database().query(sql);
        return result.rows.empty() ? -1 : lumo::integerOfText(result.rows[0][0]);
    }

    lumo::test::TempDatabase temp;
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeLinkOpener links;
    lumo::MainWindow window;
    lumo::StatusLogBox log{window.statusBox};
    lumo::SqlRunner sql{temp.database(), log, messages};
    lumo::ArticleViews views{window, temp.database(), sql, log, messages, links};
    lumo::ReportListView& latest = *window.latestListView();
    lumo::ReportListView& favourites = *window.favouritesListView();
    lumo::WindowMenus& menus = *window.menus;
};

QPoint rowCentre(lumo::ReportListView& list, int row) {
    return list.visualRect(list.model()->index(row, 1)).center();
}

// A point of the list's viewport below its last row.
QPoint belowRows(lumo::ReportListView& list) {
    return QPoint(60, list.viewport()->height() - 5);
}

TextList column(lumo::ReportListView& list, int c) {
    TextList texts;
    for (int row = 0; row < list.rowCount(); ++row) texts.push_back(list.cellText(row, c));
    return texts;
}

TextList idsFromTo(int from, int to, int step) {
    TextList ids;
    for (int id = from; step < 0 ? id >= to : id <= to; id += step)
        ids.push_back(lumo::textOfInteger(id));
    return ids;
}

// Chooses an item of the article menu for the selected row, as the user would: the menu pops up
// (setting what is enabled), then the item is chosen.
void chooseArticleItem(Fixture& f, QAction* item) {
    f.views.showArticleMenu(QPoint(100, 100));
    f.menus.articleMenu->hide();
    item->trigger();
}

void chooseFavouriteItem(Fixture& f, QAction* item) {
    f.views.showFavouriteMenu(QPoint(100, 100));
    f.menus.favouriteMenu->hide();
    item->trigger();
}

const Text kNotYet = gbk("此功能下个版本见!");

}  // namespace

class ArticleViewsTest : public QObject {
    Q_OBJECT

private slots:
    void listsShowTheNewestHundred();
    void cellsFollowTheColumnMap();
    void loadForgetsSelectionAndScroll();
    void clickWritesTheDetailsLine();
    void clickWithoutSelectionWritesBareLabels();
    void articleMenuFollowsTheSelection();
    void favouritesMenuFollowsTheSelection();
    void favouringAndUnfavouring();
    void failingFavourStillReloads();
    void commandsWithoutSelectionDoNothing();
    void onlyWebLinksOpen();
    void startupFillsBothLists();
};

void ArticleViewsTest::listsShowTheNewestHundred() {
    Fixture f;
    f.load();
    QCOMPARE(f.latest.rowCount(), 100);
    QCOMPARE(column(f.latest, 0), idsFromTo(150, 51, -1));
    // Every tenth board article is a favourite.
    QCOMPARE(column(f.favourites, 0), idsFromTo(150, 10, -10));
    QCOMPARE(column(f.favourites, 5), TextList(15, "1"));
}

void ArticleViewsTest::cellsFollowTheColumnMap() {
    Fixture f(3);
    // Quotes, GBK and an empty remark come through unchanged.
    lumo::ArticleRecord odd = lumo::test::boardArticle(4);
    odd[lumo::ArticleRecord::title] = gbk("引号 ' 和 \"双引号\" 《书名》");
    odd[lumo::ArticleRecord::other] = "";
    odd[lumo::ArticleRecord::issoucang] = "1";
    QCOMPARE(lumo::test::addArticle(f.temp.database(), odd), 4);
    f.load();

    const TextList latestRow = f.latest.rowTexts(0);
    const TextList expectedLatest = {"4",
                                     odd[lumo::ArticleRecord::planname],
                                     odd[lumo::ArticleRecord::title],
                                     odd[lumo::ArticleRecord::url],
                                     odd[lumo::ArticleRecord::addtime],
                                     "1",
                                     ""};
    QCOMPARE(latestRow, expectedLatest);
    const lumo::ArticleRecord three = lumo::test::boardArticle(3);
    QCOMPARE(f.latest.rowTexts(1),
             (TextList{"3", three[lumo::ArticleRecord::planname], three[lumo::ArticleRecord::title],
                       three[lumo::ArticleRecord::url], three[lumo::ArticleRecord::addtime], "0",
                       three[lumo::ArticleRecord::other]}));
    QCOMPARE(f.favourites.rowTexts(0),
             (TextList(expectedLatest.begin(), expectedLatest.begin() + 6)));
    // Shown converted to Unicode.
    QCOMPARE(f.latest.item(0, 2)->text(), QStringLiteral("引号 ' 和 \"双引号\" 《书名》"));

    // Headers and widths; the latest list's flag column is there but out of sight.
    QStringList headers;
    for (int c = 0; c < f.latest.columnCount(); ++c)
        headers << f.latest.horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{"id", "站点", "帖子标题", "链接", "更新时间", "状态", "备用"}));
    QVERIFY(f.latest.isColumnHidden(5));
    QCOMPARE(f.latest.columnWidth(2), 250);
    QCOMPARE(f.latest.columnWidth(6), 80);
    headers.clear();
    for (int c = 0; c < f.favourites.columnCount(); ++c)
        headers << f.favourites.horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{"id", "站点", "帖子标题", "链接", "更新时间", "状态"}));
    QVERIFY(!f.favourites.isColumnHidden(5));
    QCOMPARE(f.favourites.columnWidth(2), 350);
    QCOMPARE(f.favourites.columnWidth(5), 50);
}

void ArticleViewsTest::loadForgetsSelectionAndScroll() {
    Fixture f;
    f.load();
    f.latest.selectRow(80);
    f.latest.scrollToBottom();
    QVERIFY(f.latest.verticalScrollBar()->value() > 0);
    f.views.loadLatestArticles();
    QCOMPARE(f.latest.selectedRow(), -1);
    QCOMPARE(f.latest.verticalScrollBar()->value(), 0);
    QCOMPARE(f.latest.rowCount(), 100);

    // A failing query (no such table any more) keeps the rows shown and logs one line per list,
    // without a message.
    QVERIFY(f.temp.database().execute("alter table info rename to gone"));
    f.log.replace("");
    f.load();
    QCOMPARE(f.latest.rowCount(), 100);
    QCOMPARE(f.favourites.rowCount(), 15);
    QVERIFY(f.messages.messages().empty());
    const Text failed = gbk("\r\n列表读取失败（错误代码：1），仍显示上次读到的内容");
    QCOMPARE(f.log.text(), failed + failed);
}

void ArticleViewsTest::clickWritesTheDetailsLine() {
    Fixture f;
    f.load();
    f.log.append("\r\nan older line");
    QTest::mouseClick(f.latest.viewport(), Qt::LeftButton, {}, rowCentre(f.latest, 1));
    QCOMPARE(f.latest.selectedRow(), 1);
    const lumo::ArticleRecord a = lumo::test::boardArticle(149);
    const Text expected = gbk("文章ID：149；所属站点：") + a[lumo::ArticleRecord::planname] +
                          gbk("；文章标题：") + a[lumo::ArticleRecord::title] + gbk("；链接：") +
                          a[lumo::ArticleRecord::url] + gbk("；更新时间：") +
                          a[lumo::ArticleRecord::addtime] + gbk("；状态：0；备注：") +
                          a[lumo::ArticleRecord::other];
    QCOMPARE(f.log.text(), expected);

    // Article 150 has no remark: the line ends with the bare last label.
    QTest::mouseClick(f.latest.viewport(), Qt::LeftButton, {}, rowCentre(f.latest, 0));
    QVERIFY(lumo::rightText(f.log.text(), 8) == gbk("；备注："));
    QVERIFY(lumo::findText(f.log.text(), gbk("文章ID：150；")) == 1);

    // Moving the selection with the keyboard writes nothing.
    const Text before = f.log.text();
    f.latest.setFocus();
    QTest::keyClick(&f.latest, Qt::Key_Down);
    QCOMPARE(f.latest.selectedRow(), 1);
    QCOMPARE(f.log.text(), before);
}

void ArticleViewsTest::clickWithoutSelectionWritesBareLabels() {
    Fixture f(3);
    f.load();
    const Text bare = gbk("文章ID：；所属站点：；文章标题：；链接：；更新时间：；状态：；备注：");
    QTest::mouseClick(f.latest.viewport(), Qt::LeftButton, {}, belowRows(f.latest));
    QCOMPARE(f.latest.selectedRow(), -1);
    QCOMPARE(f.log.text(), bare);

    // A click on the empty area drops an earlier selection, as on the desktop's list views.
    QTest::mouseClick(f.latest.viewport(), Qt::LeftButton, {}, rowCentre(f.latest, 0));
    QCOMPARE(f.latest.selectedRow(), 0);
    QTest::mouseClick(f.latest.viewport(), Qt::LeftButton, {}, belowRows(f.latest));
    QCOMPARE(f.latest.selectedRow(), -1);
    QCOMPARE(f.log.text(), bare);
}

void ArticleViewsTest::articleMenuFollowsTheSelection() {
    Fixture f(3);
    f.load();
    // Nothing selected: only "清空列表" is available, and it only answers that it comes later.
    QTest::mouseClick(f.latest.viewport(), Qt::RightButton, {}, belowRows(f.latest));
    QTRY_VERIFY(f.menus.articleMenu->isVisible());
    const QPoint expected = f.latest.viewport()->mapToGlobal(belowRows(f.latest)) + QPoint(3, 3);
    QCOMPARE(f.menus.articleMenu->pos(), expected);
    QVERIFY(!f.menus.favourArticle->isEnabled());
    QVERIFY(!f.menus.deleteArticle->isEnabled());
    QVERIFY(f.menus.clearList->isEnabled());
    f.menus.articleMenu->hide();
    f.menus.clearList->trigger();
    QCOMPARE(f.messages.messages().size(), 1u);
    QCOMPARE(f.messages.messages()[0].text, kNotYet);
    QCOMPARE(f.messages.messages()[0].caption, lumo::kDefaultCaption);
    QCOMPARE(f.latest.rowCount(), 3);

    // A right click on a row selects it and enables the row commands.
    QTest::mouseClick(f.latest.viewport(), Qt::RightButton, {}, rowCentre(f.latest, 2));
    QCOMPARE(f.latest.selectedRow(), 2);
    QTRY_VERIFY(f.menus.articleMenu->isVisible());
    QVERIFY(f.menus.favourArticle->isEnabled());
    QVERIFY(f.menus.deleteArticle->isEnabled());
    QVERIFY(f.menus.clearList->isEnabled());
    f.menus.articleMenu->hide();
    f.menus.deleteArticle->trigger();
    QCOMPARE(f.messages.messages().size(), 2u);
    QCOMPARE(f.messages.messages()[1].text, kNotYet);
    QCOMPARE(f.count("select count(*) from info"), 3);
    QCOMPARE(f.latest.rowCount(), 3);

    // A right click on the empty area drops the selection and disables the row commands again.
    QTest::mouseClick(f.latest.viewport(), Qt::RightButton, {}, belowRows(f.latest));
    QTRY_VERIFY(f.menus.articleMenu->isVisible());
    QCOMPARE(f.latest.selectedRow(), -1);
    QVERIFY(!f.menus.favourArticle->isEnabled());
    QVERIFY(!f.menus.deleteArticle->isEnabled());
    f.menus.articleMenu->hide();
}

void ArticleViewsTest::favouritesMenuFollowsTheSelection() {
    Fixture f(30);
    f.load();
    QCOMPARE(f.favourites.rowCount(), 3);
    f.window.tabs->setCurrentIndex(lumo::MainWindow::FavouritesTab);
    QTest::mouseClick(f.favourites.viewport(), Qt::RightButton, {}, belowRows(f.favourites));
    QTRY_VERIFY(f.menus.favouriteMenu->isVisible());
    QVERIFY(!f.menus.unfavour->isEnabled());
    QVERIFY(f.menus.exportFavourites->isEnabled());
    f.menus.favouriteMenu->hide();

    QTest::mouseClick(f.favourites.viewport(), Qt::RightButton, {}, rowCentre(f.favourites, 0));
    QTRY_VERIFY(f.menus.favouriteMenu->isVisible());
    QVERIFY(f.menus.unfavour->isEnabled());
    f.menus.favouriteMenu->hide();
    f.menus.exportFavourites->trigger();
    QCOMPARE(f.messages.messages().size(), 1u);
    QCOMPARE(f.messages.messages()[0].text, kNotYet);
    QCOMPARE(f.favourites.rowCount(), 3);
}

void ArticleViewsTest::favouringAndUnfavouring() {
    Fixture f;
    f.load();
    const Text favour = "update info set issoucang=1 where id=149";
    const Text expectedLine = "\r\n" + favour + gbk("成功！SQL：") + favour;

    f.latest.selectRow(1);
    chooseArticleItem(f, f.menus.favourArticle);
    QCOMPARE(f.count("select issoucang from info where id=149"), 1);
    QCOMPARE(column(f.favourites, 0).size(), 16u);
    QCOMPARE(f.favourites.cellText(1, 0), Text("149"));
    QVERIFY(lumo::rightText(f.log.text(), lumo::textLength(expectedLine)) == expectedLine);
    // The latest list is not reloaded: its hidden flag still shows the old value.
    QCOMPARE(f.latest.cellText(1, 5), Text("0"));

    // Favoured twice: the statement succeeds again and the article stays one row.
    const Text logBefore = f.log.text();
    chooseArticleItem(f, f.menus.favourArticle);
    QCOMPARE(f.favourites.rowCount(), 16);
    QCOMPARE(f.count("select count(*) from info where id=149"), 1);
    QCOMPARE(f.log.text(), logBefore + expectedLine);
    QVERIFY(f.messages.messages().empty());

    // Unfavour it from the favourites list.
    f.favourites.selectRow(1);
    chooseFavouriteItem(f, f.menus.unfavour);
    const Text unfavour = "update info set issoucang=0 where id=149";
    const Text unfavourLine = "\r\n" + unfavour + gbk("成功！SQL：") + unfavour;
    QVERIFY(lumo::rightText(f.log.text(), lumo::textLength(unfavourLine)) == unfavourLine);
    QCOMPARE(f.count("select issoucang from info where id=149"), 0);
    QCOMPARE(column(f.favourites, 0), idsFromTo(150, 10, -10));
    QCOMPARE(f.favourites.selectedRow(), -1);
    // The article stays in the database and in the latest list.
    QCOMPARE(f.count("select count(*) from info"), 150);
    QCOMPARE(f.latest.cellText(1, 0), Text("149"));
    QVERIFY(f.messages.messages().empty());
}

void ArticleViewsTest::failingFavourStillReloads() {
    Fixture f;
    f.load();
    f.latest.selectRow(0);
    f.temp.database().close();
    chooseArticleItem(f, f.menus.favourArticle);
    const Text failure = gbk("执行出错！错误代码：0");
    QCOMPARE(f.messages.messages().size(), 1u);
    QCOMPARE(f.messages.messages()[0].text, failure);
    QCOMPARE(f.messages.messages()[0].caption, lumo::kDefaultCaption);
    // The favourites list was reloaded from the closed database: it keeps its rows and says so.
    const Text line = "\r\nupdate info set issoucang=1 where id=150" + failure +
                      gbk("\r\n列表读取失败（错误代码：0），仍显示上次读到的内容");
    QVERIFY(lumo::rightText(f.log.text(), lumo::textLength(line)) == line);
    QCOMPARE(f.favourites.rowCount(), 15);
}

void ArticleViewsTest::commandsWithoutSelectionDoNothing() {
    // The list may be rebuilt while its menu is open (a monitoring round reloads it); a command
    // chosen then has no row to act on and must not run a broken statement.
    Fixture f;
    f.load();
    const Text logBefore = f.log.text();
    f.menus.favourArticle->setEnabled(true);
    f.menus.unfavour->setEnabled(true);
    f.menus.favourArticle->trigger();
    f.menus.unfavour->trigger();
    QCOMPARE(f.log.text(), logBefore);
    QVERIFY(f.messages.messages().empty());
    QCOMPARE(f.count("select count(*) from info where issoucang=1"), 15);
}

void ArticleViewsTest::onlyWebLinksOpen() {
    Fixture f(0);
    const Text links[] = {
        "http://board.example/thread-1.html",
        "file:///etc/passwd",
        "",
        gbk("  HTTPS://board.example/论坛?q=帖子 "),
        "javascript:alert(1)",
        "/usr/bin/xterm",
        "http://board.example/\r\nx",
        "smb://server/share",
    };
    for (const Text& link : links) {
        lumo::ArticleRecord article = lumo::test::boardArticle(1);
        article[lumo::ArticleRecord::url] = link;
        QVERIFY(lumo::test::addArticle(f.temp.database(), article) > 0);
    }
    f.load();
    const int rows = f.latest.rowCount();
    QCOMPARE(rows, 8);
    for (int row = 0; row < rows; ++row)
        QTest::mouseDClick(f.latest.viewport(), Qt::LeftButton, {}, rowCentre(f.latest, row));
    // Rows come newest first, so the web links appear in reverse order of insertion.
    const std::vector<Text> expected = {gbk("HTTPS://board.example/论坛?q=帖子"),
                                        "http://board.example/thread-1.html"};
    QCOMPARE(f.links.opened, expected);

    // A double click below the rows, with nothing selected, opens nothing.
    f.views.loadLatestArticles();
    QTest::mouseDClick(f.latest.viewport(), Qt::LeftButton, {}, belowRows(f.latest));
    QCOMPARE(f.links.opened.size(), 2u);
}

void ArticleViewsTest::startupFillsBothLists() {
    lumo::test::TempDatabase temp;
    lumo::test::addBoardArticles(temp.database(), 150);
    lumo::test::FakeMessagePresenter messages;
    lumo::test::FakeLinkOpener links;
    lumo::LumoApplication::Options options;
    options.programDir = QString::fromStdString(temp.directory());
    options.messages = &messages;
    options.links = &links;
    lumo::LumoApplication app(options);
    app.start();
    lumo::MainWindow& window = app.window();
    QCOMPARE(window.latestListView()->rowCount(), 100);
    QCOMPARE(window.latestListView()->cellText(0, 0), Text("150"));
    QCOMPARE(window.favouritesListView()->rowCount(), 15);

    // The application's own link opener is the injected one.
    window.tabs->setCurrentIndex(lumo::MainWindow::LatestArticlesTab);
    QTest::mouseDClick(window.latestListView()->viewport(), Qt::LeftButton, {},
                       rowCentre(*window.latestListView(), 0));
    QCOMPARE(links.opened, std::vector<Text>{"http://board.example/thread-150.html"});
}

QTEST_MAIN(ArticleViewsTest)
#include "ArticleViewsTest.moc"
