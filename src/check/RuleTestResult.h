#pragma once

#include <vector>

#include "base/Status.h"
#include "base/Text.h"

namespace lumo {

// What a rule test produced, as plain data for the plan editor page to show.
//
// When `ran` is false the address was blocked: the user has been told, and nothing on the page
// changes. Otherwise `测试列表框` is cleared and given `columns` (each `columnWidth` pixels wide)
// and `rows`; `测试编辑框` has already received `cutText` through the CutRegionSink; and when
// `enableSaveButton` is true `按钮_保存配置` becomes enabled (false: it keeps its state).
struct RuleTestResult {
    bool ran = false;
    Text cutText;
    TextList columns;            // "索引 0" .. "索引 G-1"
    std::vector<TextList> rows;  // one per match in page order, one cell per column
    int columnWidth = 80;
    bool enableSaveButton = false;
    int matchCount = 0;
    int groupCount = 0;
    bool truncated = false;  // the page held more matches than the cap; the rest were left out
    Status patternStatus;    // the pattern's search: ok, or why it matched nothing
    // Ok, or why the test found nothing (or the server's error status), as a monitoring run's
    // check says it: the reason is shown after the message.
    Status status;
};

}  // namespace lumo
