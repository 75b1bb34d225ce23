#include "gui/articles/ArticleViews.h"

#include <QAction>
#include <QMenu>

#include "articles/ArticleDetails.h"
#include "articles/ArticleList.h"
#include "articles/FavouriteStatements.h"
#include "articles/WebLink.h"
#include "base/LinkOpener.h"
#include "gui/window/MainWindow.h"
#include "gui/window/NotYetAvailable.h"
#include "gui/window/ReportListView.h"
#include "gui/window/WindowMenus.h"
#include "store/DatabaseConnection.h"
#include "store/SqlRunner.h"

namespace lumo {
namespace {

constexpr int kIdColumn = 0;
constexpr int kLinkColumn = 3;

Text selectedCell(const ReportListView& list, int column) {
    const int row = list.selectedRow();
    return row < 0 ? Text() : list.cellText(row, column);
}

}  // namespace

ArticleViews::ArticleViews(MainWindow& window, DatabaseConnection& database, SqlRunner& sql,
                           StatusLog& log, MessagePresenter& messages, LinkOpener& links,
                           QObject* parent)
    : QObject(parent),
      window_(window),
      database_(database),
      sql_(sql),
      log_(log),
      messages_(messages),
      links_(links) {
    window_.whenPageBuilt(MainWindow::LatestArticlesTab, this, [this] { attachLatestList(); });
    window_.whenPageBuilt(MainWindow::FavouritesTab, this, [this] { attachFavourites(); });

    WindowMenus& menus = *window_.menus;
    connect(menus.favourArticle, &QAction::triggered, this, &ArticleViews::favourSelectedArticle);
    connect(menus.deleteArticle, &QAction::triggered, this, &ArticleViews::showNotYetAvailableBox);
    connect(menus.clearList, &QAction::triggered, this, &ArticleViews::showNotYetAvailableBox);
    connect(menus.unfavour, &QAction::triggered, this, &ArticleViews::unfavourSelectedFavourite);
    connect(menus.exportFavourites, &QAction::triggered, this,
            &ArticleViews::showNotYetAvailableBox);
}

void ArticleViews::attachLatestList() {
    ReportListView* latest = window_.latestListView();
    connect(latest, &ReportListView::leftClicked, this, [this](int) { showArticleDetails(); });
    connect(latest, &ReportListView::rightClicked, this,
            [this](int, const QPoint& at) { showArticleMenu(at); });
    connect(latest, &ReportListView::doubleClicked, this, [this](int) { openSelectedLink(); });
    if (latestWanted_) loadLatestArticles();
}

void ArticleViews::attachFavourites() {
    ReportListView* favourites = window_.favouritesListView();
    connect(favourites, &ReportListView::rightClicked, this,
            [this](int, const QPoint& at) { showFavouriteMenu(at); });
    if (favouritesWanted_) loadFavourites();
}

void ArticleViews::loadLatestArticles() {
    latestWanted_ = !window_.isPageBuilt(MainWindow::LatestArticlesTab);
    if (!latestWanted_) fill(*window_.latestListView(), ArticleList::latest());
}

void ArticleViews::loadFavourites() {
    favouritesWanted_ = !window_.isPageBuilt(MainWindow::FavouritesTab);
    if (!favouritesWanted_) fill(*window_.favouritesListView(), ArticleList::favourites());
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
    const ReportListView& list = *window_.latestListView();
    const int row = list.selectedRow();
    log_.replace(articleDetailsLine(row < 0 ? TextList() : list.rowTexts(row)));
}

void ArticleViews::openSelectedLink() {
    const std::optional<Text> link =
        webLinkToOpen(selectedCell(*window_.latestListView(), kLinkColumn));
    if (link) links_.openLink(*link);
}

void ArticleViews::favourSelectedArticle() {
    const Text sql = favourArticleSql(selectedCell(*window_.latestListView(), kIdColumn));
    if (sql.empty()) return;
    sql_.runSql(sql);
    loadFavourites();
}

void ArticleViews::unfavourSelectedFavourite() {
    const Text sql = unfavourArticleSql(selectedCell(*window_.favouritesListView(), kIdColumn));
    if (sql.empty()) return;
    sql_.runSql(sql);
    loadFavourites();
}

void ArticleViews::showArticleMenu(const QPoint& globalPos) {
    WindowMenus& menus = *window_.menus;
    const bool selected = window_.latestListView()->selectedRow() >= 0;
    menus.favourArticle->setEnabled(selected);
    menus.deleteArticle->setEnabled(selected);
    menus.articleMenu->popup(globalPos + kMenuOffset);
}

void ArticleViews::showFavouriteMenu(const QPoint& globalPos) {
    WindowMenus& menus = *window_.menus;
    menus.unfavour->setEnabled(window_.favouritesListView()->selectedRow() >= 0);
    menus.favouriteMenu->popup(globalPos + kMenuOffset);
}

void ArticleViews::showNotYetAvailableBox() {
    showNotYetAvailable(messages_);
}

}  // namespace lumo
