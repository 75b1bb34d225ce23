#include "articles/ArticleList.h"

#include "base/GbkCodec.h"

namespace lumo {

ArticleList::ArticleList(Text query, std::vector<Column> columns)
    : query_(std::move(query)), columns_(std::move(columns)) {}

const ArticleList& ArticleList::latest() {
    static const ArticleList list("select * from info where 1 order by id desc LIMIT 100",
                                  {{"id", 40, ArticleRecord::id},
                                   {gbk("站点"), 100, ArticleRecord::planname},
                                   {gbk("帖子标题"), 250, ArticleRecord::title},
                                   {gbk("链接"), 100, ArticleRecord::url},
                                   {gbk("更新时间"), 120, ArticleRecord::addtime},
                                   {gbk("状态"), 0, ArticleRecord::issoucang},
                                   {gbk("备用"), 80, ArticleRecord::other}});
    return list;
}

const ArticleList& ArticleList::favourites() {
    static const ArticleList list("select * from info where issoucang=1 order by id desc LIMIT 100",
                                  {{"id", 40, ArticleRecord::id},
                                   {gbk("站点"), 120, ArticleRecord::planname},
                                   {gbk("帖子标题"), 350, ArticleRecord::title},
                                   {gbk("链接"), 100, ArticleRecord::url},
                                   {gbk("更新时间"), 80, ArticleRecord::addtime},
                                   {gbk("状态"), 50, ArticleRecord::issoucang}});
    return list;
}

TextList ArticleList::cellsOf(const TextList& infoRow) const {
    TextList cells;
    cells.reserve(columns_.size());
    for (const Column& column : columns_) {
        const std::size_t source = column.source;
        cells.push_back(source < infoRow.size() ? infoRow[source] : Text());
    }
    return cells;
}

std::vector<TextList> ArticleList::rowsOf(const QueryResult& result) const {
    std::vector<TextList> rows;
    rows.reserve(result.rows.size());
    for (const TextList& row : result.rows) rows.push_back(cellsOf(row));
    return rows;
}

}  // namespace lumo
