#include "articles/gui/ArticleViews.h"

#include <QAction>
#include <QMenu>

#include "app/LinkOpener.h"
#include "app/NotYetAvailable.h"
#include "articles/ArticleDetails.h"
#include "articles/ArticleList.h"
#include "articles/FavouriteStatements.h"
#include "articles/WebLink.h"
#include "store/PlanDatabase.h"
#include "store/SqlRunner.h"
#include "ui/MainWindow.h"
#include "ui/ReportListView.h"
#include "ui/WindowMenus.h"

namespace lumo {
namespace {

constexpr int kIdColumn = 0;
constexpr int kLinkColumn = 3;

std::vector<ReportListView::Column> listColumns(const ArticleList& content) {
    std::vector<ReportListView::Column> columns;
    for (const ArticleList::Column& column : content.columns())
        columns.push_back({column.caption, column.width});
    return columns;
}

Text selectedCell(const ReportListView& list, int column) {
    const int row = list.selectedRow();
    return row < 0 ? Text() : list.cellText(row, column);
}

}  // namespace

ArticleViews::ArticleViews(MainWindow& window, PlanDatabase& database, SqlRunner& sql,
                           StatusLog& log, MessagePresenter& messages, LinkOpener& links,
                           QObject* parent)
    : QObject(parent),
      window_(window),
      database_(database),
      sql_(sql),
      log_(log),
      messages_(messages),
      links_(links) {
    // The columns come from the same description that maps the rows, so headers and cells agree.
    window_.文章列表框->setColumns(listColumns(ArticleList::latest()));
    window_.收藏列表框->setColumns(listColumns(ArticleList::favourites()));

    ReportListView* latest = window_.文章列表框;
    ReportListView* favourites = window_.收藏列表框;
    connect(latest, &ReportListView::leftClicked, this, [this](int) { showArticleDetails(); });
    connect(latest, &ReportListView::rightClicked, this,
            [this](int, const QPoint& at) { showArticleMenu(at); });
    connect(latest, &ReportListView::doubleClicked, this, [this](int) { openSelectedLink(); });
    connect(favourites, &ReportListView::rightClicked, this,
            [this](int, const QPoint& at) { showFavouriteMenu(at); });

    WindowMenus& menus = *window_.menus;
    connect(menus.favourArticle, &QAction::triggered, this, &ArticleViews::favourSelectedArticle);
    connect(menus.deleteArticle, &QAction::triggered, this, &ArticleViews::showNotYetAvailableBox);
    connect(menus.clearList, &QAction::triggered, this, &ArticleViews::showNotYetAvailableBox);
    connect(menus.unfavour, &QAction::triggered, this, &ArticleViews::unfavourSelectedFavourite);
    connect(menus.exportFavourites, &QAction::triggered, this,
            &ArticleViews::showNotYetAvailableBox);
}

void ArticleViews::loadLatestArticles() {
    fill(*window_.文章列表框, ArticleList::latest());
}

void ArticleViews::loadFavourites() {
    fill(*window_.收藏列表框, ArticleList::favourites());
}

void ArticleViews::fill(ReportListView& list, const ArticleList& content) {
    const QueryResult result = database_.query(content.query());
    if (!result.ok) {
        log_.append(listQueryFailedLine(result));
        return;
    }
    list.setUpdatesEnabled(false);
    list.clearRows();
    for (const TextList& cells : content.rowsOf(result)) list.addRow(cells);
    list.clearSelection();
    list.setCurrentCell(-1, -1);
    list.scrollToTop();
    list.setUpdatesEnabled(true);
}

void ArticleViews::showArticleDetails() {
    const ReportListView& list = *window_.文章列表框;
    const int row = list.selectedRow();
    log_.replace(articleDetailsLine(row < 0 ? TextList() : list.rowTexts(row)));
}

void ArticleViews::openSelectedLink() {
    const std::optional<Text> link = webLinkToOpen(selectedCell(*window_.文章列表框, kLinkColumn));
    if (link) links_.openLink(*link);
}

void ArticleViews::favourSelectedArticle() {
    const Text sql = favourArticleSql(selectedCell(*window_.文章列表框, kIdColumn));
    if (sql.empty()) return;
    sql_.runSql(sql);
    loadFavourites();
}

void ArticleViews::unfavourSelectedFavourite() {
    const Text sql = unfavourArticleSql(selectedCell(*window_.收藏列表框, kIdColumn));
    if (sql.empty()) return;
    sql_.runSql(sql);
    loadFavourites();
}

void ArticleViews::showArticleMenu(const QPoint& globalPos) {
    WindowMenus& menus = *window_.menus;
    const bool selected = window_.文章列表框->selectedRow() >= 0;
    menus.favourArticle->setEnabled(selected);
    menus.deleteArticle->setEnabled(selected);
    menus.articleMenu->popup(globalPos + kMenuOffset);
}

void ArticleViews::showFavouriteMenu(const QPoint& globalPos) {
    WindowMenus& menus = *window_.menus;
    menus.unfavour->setEnabled(window_.收藏列表框->selectedRow() >= 0);
    menus.favouriteMenu->popup(globalPos + kMenuOffset);
}

void ArticleViews::showNotYetAvailableBox() {
    showNotYetAvailable(messages_);
}

}  // namespace lumo
