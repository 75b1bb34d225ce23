#pragma once

#include <vector>

#include "app/Text.h"

namespace lumo {

// What a query returns: the column names in statement order and every row as texts, one text per
// column. A NULL value reads as the empty text. A query that could not run has no columns and no
// rows; `ok` is true only when the query ran and every row was read (a busy or broken file may
// stop it part-way, with the rows read so far).
struct QueryResult {
    TextList columns;
    std::vector<TextList> rows;
    bool ok = false;

    bool empty() const { return columns.empty() && rows.empty(); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    int columnCount() const { return static_cast<int>(columns.size()); }
};

}  // namespace lumo
