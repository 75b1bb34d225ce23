#pragma once

#include <vector>

#include "base/Text.h"
#include "store/ArticleRecord.h"
#include "store/QueryResult.h"

namespace lumo {

// What one of the two article lists shows: the query that fills it and its columns, each with its
// caption, width and the `info` column its cells come from. `latest()` describes the latest
// articles (`文章列表框`), `favourites()` the favourites (`收藏列表框`).
//
// Immutable; safe to use from any thread.
class ArticleList {
public:
    struct Column {
        Text caption;   // GBK
        int width = 0;  // pixels; 0 keeps the column out of sight
        ArticleRecord::Column source = ArticleRecord::id;
    };

    static const ArticleList& latest();
    static const ArticleList& favourites();

    // The statement that fills the list: the newest 100 rows first.
    const Text& query() const { return query_; }
    const std::vector<Column>& columns() const { return columns_; }

    // The cells of one list row, in column order, from one `info` row as the query returned it.
    // A row shorter than the table gives empty cells for what it lacks.
    TextList cellsOf(const TextList& infoRow) const;

    // The list rows for a whole query result, in result order.
    std::vector<TextList> rowsOf(const QueryResult& result) const;

private:
    ArticleList(Text query, std::vector<Column> columns);

    Text query_;
    std::vector<Column> columns_;
};

}  // namespace lumo
