#pragma once

#include <chrono>

#include "monitor/MonitorTimings.h"

namespace lumo::test {

// The rounds' waits short enough for a test, in the program's proportions.
inline MonitorTimings quickTimings() {
    MonitorTimings t;
    t.heartbeat = std::chrono::milliseconds(20);
    t.gap = std::chrono::milliseconds(30);
    t.perSecondOfFrequency = std::chrono::milliseconds(10);
    t.insertPause = std::chrono::milliseconds(3);
    t.previousWorkerPoll = std::chrono::milliseconds(10);
    return t;
}

}  // namespace lumo::test
