#pragma once

#include <vector>

#include "gui/window/ReportListView.h"

namespace lumo::test {

// The rows of a list whose tick box is set, top to bottom, read from the widget as a monitoring
// round reads them.
inline std::vector<int> tickedRows(const ReportListView& list) {
    std::vector<int> rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.isRowChecked(row)) rows.push_back(row);
    }
    return rows;
}

}  // namespace lumo::test
