#pragma once

#include <vector>

#include "base/GbkCodec.h"
#include "base/Text.h"
#include "base/TextOps.h"

namespace lumo {

// What a query returns: the column names in statement order and every row as texts, one text per
// column. A NULL value reads as the empty text. A query that could not run has no columns and no
// rows; `ok` is true only when the query ran and every row was read (a busy or broken file may
// stop it part-way, with the rows read so far).
struct QueryResult {
    TextList columns;
    std::vector<TextList> rows;
    bool ok = false;
    int errorCode = 0;  // the connection's code when not ok

    bool empty() const { return columns.empty() && rows.empty(); }
    int rowCount() const { return static_cast<int>(rows.size()); }
    int columnCount() const { return static_cast<int>(columns.size()); }
};

// The one log line of a list whose query failed while it kept the rows it showed:
// CR LF "列表读取失败（错误代码：<code>），仍显示上次读到的内容".
inline Text listQueryFailedLine(const QueryResult& result) {
    static const Text kStart = gbk("\r\n列表读取失败（错误代码：");
    static const Text kEnd = gbk("），仍显示上次读到的内容");
    return kStart + textOfInteger(result.errorCode) + kEnd;
}

}  // namespace lumo
