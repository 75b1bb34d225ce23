#include "articles/ArticleList.h"

#include <gtest/gtest.h>

#include "articles/ArticleDetails.h"
#include "articles/FavouriteStatements.h"
#include "base/GbkCodec.h"
#include "base/TextOps.h"
#include "support/ArticleRows.h"
#include "support/TempDatabase.h"

namespace lumo {
namespace {

// One `info` row in column order: id, planname, planid, title, url, other, addtime, issoucang.
const TextList kInfoRow = {
    "42",        gbk("水木社区"),    "3", gbk("《标题》 it's"), "http://b.example/t-42",
    gbk("备注"), "2026-1-2 3:04:05", "1"};

TEST(ArticleListTest, LatestCellsFollowTheColumnMap) {
    const ArticleList& list = ArticleList::latest();
    EXPECT_EQ(list.query(), "select * from info where 1 order by id desc LIMIT 100");
    // id, site, title, link, time, favourite flag (hidden), remark; planid is never shown.
    const TextList expected = {
        "42", gbk("水木社区"), gbk("《标题》 it's"), "http://b.example/t-42", "2026-1-2 3:04:05",
        "1",  gbk("备注")};
    EXPECT_EQ(list.cellsOf(kInfoRow), expected);

    std::vector<std::pair<Text, int>> headers;
    for (const auto& column : list.columns()) headers.emplace_back(column.caption, column.width);
    const std::vector<std::pair<Text, int>> expectedHeaders = {
        {"id", 40},         {gbk("站点"), 100},     {gbk("帖子标题"), 250},
        {gbk("链接"), 100}, {gbk("更新时间"), 120}, {gbk("状态"), 0},
        {gbk("备用"), 80}};
    EXPECT_EQ(headers, expectedHeaders);
}

TEST(ArticleListTest, FavouriteCellsFollowTheColumnMap) {
    const ArticleList& list = ArticleList::favourites();
    EXPECT_EQ(list.query(), "select * from info where issoucang=1 order by id desc LIMIT 100");
    const TextList expected = {
        "42", gbk("水木社区"), gbk("《标题》 it's"), "http://b.example/t-42", "2026-1-2 3:04:05",
        "1"};
    EXPECT_EQ(list.cellsOf(kInfoRow), expected);

    std::vector<std::pair<Text, int>> headers;
    for (const auto& column : list.columns()) headers.emplace_back(column.caption, column.width);
    const std::vector<std::pair<Text, int>> expectedHeaders = {
        {"id", 40},         {gbk("站点"), 120},    {gbk("帖子标题"), 350},
        {gbk("链接"), 100}, {gbk("更新时间"), 80}, {gbk("状态"), 50}};
    EXPECT_EQ(headers, expectedHeaders);
}

TEST(ArticleListTest, ShortRowsGiveEmptyCells) {
    // A query of fewer columns (a table changed through the console) must not read past the row.
    const TextList cells = ArticleList::latest().cellsOf({"7", "site"});
    EXPECT_EQ(cells, (TextList{"7", "site", "", "", "", "", ""}));
    EXPECT_EQ(ArticleList::favourites().cellsOf({}), TextList(6));
}

TEST(ArticleListTest, QueriesKeepTheNewestHundred) {
    test::TempDatabase temp;
    test::addBoardArticles(temp.database(), 150);

    const auto latest =
        ArticleList::latest().rowsOf(temp.database().query(ArticleList::latest().query()));
    ASSERT_EQ(latest.size(), 100u);
    for (std::size_t i = 0; i < latest.size(); ++i) {
        const int n = 150 - static_cast<int>(i);
        const ArticleRecord article = test::boardArticle(n);
        EXPECT_EQ(latest[i][0], textOfInteger(n));
        EXPECT_EQ(latest[i][2], article[ArticleRecord::title]);
        EXPECT_EQ(latest[i][6], article[ArticleRecord::other]);
    }

    // Every tenth article is a favourite: 150, 140, ..., 10.
    const auto favourites =
        ArticleList::favourites().rowsOf(temp.database().query(ArticleList::favourites().query()));
    ASSERT_EQ(favourites.size(), 15u);
    for (std::size_t i = 0; i < favourites.size(); ++i)
        EXPECT_EQ(favourites[i][0], textOfInteger(150 - 10 * static_cast<int>(i)));

    // The favourites list has the same bound.
    ASSERT_TRUE(temp.database().execute("update info set issoucang=1"));
    const QueryResult all = temp.database().query(ArticleList::favourites().query());
    ASSERT_EQ(all.rowCount(), 100);
    EXPECT_EQ(all.rows.front()[0], "150");
    EXPECT_EQ(all.rows.back()[0], "51");
}

TEST(ArticleListTest, FailedQueryGivesNoRows) {
    DatabaseConnection closed;
    EXPECT_TRUE(ArticleList::latest().rowsOf(closed.query(ArticleList::latest().query())).empty());
}

TEST(ArticleDetailsTest, LabelsWithCellsAsTheyStand) {
    const TextList cells = ArticleList::latest().cellsOf(kInfoRow);
    EXPECT_EQ(
        articleDetailsLine(cells),
        gbk("文章ID：42；所属站点：水木社区；文章标题：《标题》 it's；链接：http://b.example/t-42"
            "；更新时间：2026-1-2 3:04:05；状态：1；备注：备注"));
    // No selection: the seven labels alone, nothing between them.
    EXPECT_EQ(articleDetailsLine({}),
              gbk("文章ID：；所属站点：；文章标题：；链接：；更新时间：；状态：；备注："));
    // An empty remark leaves the last label bare.
    TextList noRemark = cells;
    noRemark[6].clear();
    const Text line = articleDetailsLine(noRemark);
    EXPECT_EQ(rightText(line, 8), gbk("；备注："));
}

TEST(FavouriteStatementsTest, StatementsOnlyForArticleIds) {
    EXPECT_EQ(favourArticleSql("671"), "update info set issoucang=1 where id=671");
    EXPECT_EQ(unfavourArticleSql("671"), "update info set issoucang=0 where id=671");
    EXPECT_EQ(favourArticleSql("-3"), "update info set issoucang=1 where id=-3");
    // What is not an id never reaches a statement.
    for (const Text& bad : {Text(), Text("-"), Text("1 or 1=1"), Text("12;drop table info"),
                            Text(" 5"), Text("1e3"), Text(20, '9'), Text("\xA3\xB1")}) {
        EXPECT_EQ(favourArticleSql(bad), "") << bad;
        EXPECT_EQ(unfavourArticleSql(bad), "") << bad;
    }
}

}  // namespace
}  // namespace lumo
