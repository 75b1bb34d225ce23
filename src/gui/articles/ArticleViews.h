#pragma once

#include <QObject>
#include <QPoint>

#include "base/Text.h"

namespace lumo {

class ArticleList;
class LinkOpener;
class MainWindow;
class MessagePresenter;
class DatabaseConnection;
class ReportListView;
class SqlRunner;
class StatusLog;

// The latest-articles list (`文章列表框`) and the favourites list (`收藏列表框`) of the window:
// fills them from table `info`, writes the details line of a clicked article over the status
// log, opens an article's web link on a double click, and serves the two context menus "文章"
// and "收藏" (marking and unmarking favourites; the commands without a feature answer that they
// come later).
//
// The lists hold the only copy of the articles in memory; the commands read the article id back
// from the selected row's first cell. Window thread only.
class ArticleViews : public QObject {
    Q_OBJECT
public:
    // `database` serves the list queries only (the window's own connection in the program);
    // every change goes through `sql`.
    ArticleViews(MainWindow& window, DatabaseConnection& database, SqlRunner& sql, StatusLog& log,
                 MessagePresenter& messages, LinkOpener& links, QObject* parent = nullptr);

    // Where a context menu appears relative to the mouse cursor.
    static constexpr QPoint kMenuOffset{3, 3};

    // Rebuild a list from the database: the newest 100 articles / favourites first, nothing
    // selected, scrolled to the top. A query that fails (a file locked elsewhere) keeps the rows
    // shown and logs one line. A list whose page has not been made yet is filled when it is.
    void loadLatestArticles();
    void loadFavourites();

    // Replaces the status log with the details line of the selected latest article (the bare
    // labels when nothing is selected).
    void showArticleDetails();

    // Opens the link of the selected latest article if it is a web link; ignores anything else.
    void openSelectedLink();

    // "收藏文章" / "删除收藏": marks the selected latest article / unmarks the selected favourite
    // through the logged statement runner, then reloads the favourites. Nothing happens when no
    // row is selected.
    void favourSelectedArticle();
    void unfavourSelectedFavourite();

    // Set the menu items' enabled state for the current selection and pop the menu up beside
    // `globalPos`.
    void showArticleMenu(const QPoint& globalPos);
    void showFavouriteMenu(const QPoint& globalPos);

private:
    void attachLatestList();
    void attachFavourites();
    void fill(ReportListView& list, const ArticleList& content);
    void showNotYetAvailableBox();

    MainWindow& window_;
    DatabaseConnection& database_;
    SqlRunner& sql_;
    StatusLog& log_;
    MessagePresenter& messages_;
    LinkOpener& links_;
    // A load asked for before the list's page was made.
    bool latestWanted_ = false;
    bool favouritesWanted_ = false;
};

}  // namespace lumo
