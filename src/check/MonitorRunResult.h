#pragma once

#include "base/Text.h"

namespace lumo {

// What one monitoring run did, for the rounds engine and for tests. Everything the user sees has
// already gone to the database, the status log and the test edit box.
struct MonitorRunResult {
    bool abandoned = false;  // a stop arrived; the run wrote nothing after noticing it
    int matchCount = 0;
    int recordedCount = 0;     // rows inserted into info
    bool planUpdated = false;  // the update of the plan's last-seen fields ran
    Text patternFailure;       // why the pattern matched nothing, when Boost refused it
};

}  // namespace lumo
