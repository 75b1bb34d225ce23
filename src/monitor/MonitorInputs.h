#pragma once

#include <vector>

#include "base/Text.h"

namespace lumo {

// What the monitoring rounds read from a front end when they start and as they go: the
// frequency, whether rounds repeat, the plans taken part and each plan's row as it stands when
// its run begins. In the window these are `频率框`, `自动监控框` and the ticked rows of
// `项目列表框`; on the command line, the options of `run`.
//
// Main (window) thread only.
class MonitorInputs {
public:
    virtual ~MonitorInputs() = default;

    // The frequency in seconds, as typed.
    virtual Text frequencyText() const = 0;

    // Whether rounds repeat (`自动监控框` checked).
    virtual bool autoMonitorChecked() const = 0;

    // The rows of the plans taken part, 0-based, in list order.
    virtual std::vector<int> checkedPlanRows() const = 0;

    // The cell texts of one plan row in column order; empty for a row that does not exist.
    virtual TextList planRowTexts(int row) const = 0;
};

}  // namespace lumo
