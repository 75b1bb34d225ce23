#include "support/ArticleRows.h"

#include "base/GbkCodec.h"
#include "base/TextOps.h"

namespace lumo::test {
namespace {
Text quoted(const Text& value) {
    return "'" + replaceAllText(value, "'", "''") + "'";
}

Text insertStatement(const ArticleRecord& article) {
    return "insert into info(planname,planid,title,url,other,addtime,issoucang) values(" +
           quoted(article[ArticleRecord::planname]) + "," + quoted(article[ArticleRecord::planid]) +
           "," + quoted(article[ArticleRecord::title]) + "," + quoted(article[ArticleRecord::url]) +
           "," + quoted(article[ArticleRecord::other]) + "," +
           quoted(article[ArticleRecord::addtime]) + "," +
           quoted(article[ArticleRecord::issoucang]) + ")";
}

}  // namespace

int addArticle(DatabaseConnection& database, const ArticleRecord& article) {
    if (!database.execute(insertStatement(article))) return 0;
    const QueryResult last = database.query("select max(id) from info");
    return last.rows.empty() ? 0 : integerOfText(last.rows[0][0]);
}

ArticleRecord boardArticle(int n) {
    const Text number = textOfInteger(n);
    ArticleRecord article;
    article[ArticleRecord::planname] = gbk("站点") + textOfInteger(n % 3);
    article[ArticleRecord::planid] = textOfInteger(n % 3 + 1);
    article[ArticleRecord::title] = gbk("标题") + number;
    article[ArticleRecord::url] = "http://board.example/thread-" + number + ".html";
    article[ArticleRecord::other] = n % 5 == 0 ? Text() : gbk("备") + number;
    article[ArticleRecord::addtime] =
        "2026-12-9 8:" + textOfInteger(n / 60) + ":" + textOfInteger(n % 60);
    article[ArticleRecord::issoucang] = n % 10 == 0 ? "1" : "0";
    return article;
}

void addBoardArticles(DatabaseConnection& database, int count) {
    // One transaction: a commit per row would make seeding the slowest part of a test.
    Text sql = "begin;";
    for (int n = 1; n <= count; ++n) sql += insertStatement(boardArticle(n)) + ";";
    database.execute(sql + "commit;");
}

}  // namespace lumo::test
