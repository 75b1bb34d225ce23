#pragma once

#include "base/Text.h"

namespace lumo {

// What one monitoring run did, for the rounds engine and for tests. Everything the user sees has
// already gone to the database, the status log and the test edit box.
struct MonitorRunResult {
    // A stop arrived: before the commit the run wrote nothing; after it, only the remaining
    // log lines of what was stored.
    bool abandoned = false;
    int matchCount = 0;        // matches judged (those the marker leaves as candidates)
    int recordedCount = 0;     // rows really stored in info (0 when the run was rolled back)
    bool planUpdated = false;  // the plan's last-seen fields were stored
    Text patternFailure;       // why the pattern matched nothing, when Boost refused it
};

}  // namespace lumo
