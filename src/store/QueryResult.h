#pragma once

#include <string>
#include <vector>

#include "base/GbkCodec.h"
#include "base/Status.h"
#include "base/Text.h"
#include "base/TextOps.h"
#include "store/BusyCode.h"

namespace lumo {

// What a query returns: the column names in statement order and every row as texts, one text per
// column. A NULL value reads as the empty text.
//
// `ok` is true only when the query ran and every row was read. A query that failed (it could not
// be prepared, or a busy, locked or damaged file stopped it) has `ok` false, no columns and no
// rows, and says why in `errorCode` and `message`: check `ok` before reading the rows, since an
// empty result alone does not tell "no rows" from "could not read".
struct QueryResult {
    TextList columns;
    std::vector<TextList> rows;
    bool ok = false;
    int errorCode = 0;    // SQLite's primary result code when not ok (0 for a closed connection)
    std::string message;  // SQLite's message when not ok, in English

    // Another connection held the file longer than the busy timeout.
    bool busy() const { return !ok && isBusyCode(errorCode); }

    // Whether the query ran, as a Status: Busy or Failed with `errorCode` and `message`.
    Status status() const {
        if (ok) return Status();
        return Status::failure(busy() ? Status::Kind::Busy : Status::Kind::Failed, message,
                               errorCode);
    }

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
