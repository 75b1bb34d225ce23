#pragma once

#include "base/Text.h"
#include "store/ArticleRecord.h"
#include "store/DatabaseConnection.h"

namespace lumo::test {

// Seeds table `info` the way the monitoring run records articles (plain insert statements, quotes
// doubled), so tests can fill the article lists.

// Inserts one article with every column of `article` except id, and returns its new id (0 when
// the insert failed).
int addArticle(DatabaseConnection& database, const ArticleRecord& article);

// The article with number n of a seeded board: site "站点<n % 3>", title "标题<n>", link
// "http://board.example/thread-<n>.html", remark "备<n>" (empty for every fifth), a time text,
// and the favourite flag set for every tenth.
ArticleRecord boardArticle(int n);

// Inserts boardArticle(1) to boardArticle(count) in that order; their ids are 1 to count in a
// fresh database.
void addBoardArticles(DatabaseConnection& database, int count);

}  // namespace lumo::test
