#pragma once

#include <vector>

#include "base/Text.h"

namespace lumo {

// What a query returns: the column names in statement order and every row as texts, one text per
// column. A NULL value reads as the empty text. A query that could not run has no columns and no
// rows.
struct QueryResult {
    TextList columns;
    std::vector<TextList> rows;

    bool empty() const { return columns.empty() && rows.empty(); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    int columnCount() const { return static_cast<int>(columns.size()); }
};

}  // namespace lumo
