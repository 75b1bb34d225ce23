#pragma once

#include <optional>

#include "base/Text.h"
#include "store/PlanHealth.h"

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
    // Why the check failed (GBK words), empty when it worked: the fetch failed, the region was
    // empty, the pattern found nothing in it, the server answered with an error status, or the
    // writes could not be stored. A run that was abandoned has no verdict.
    Text failure;
    int httpStatus = 0;  // of the page's response; 0 when none arrived
    // Failed checks in a row before this one; -1 when the health record could not be read.
    int failuresBefore = -1;
    // The plan's health record as this check stored it; none when it could not be stored (or the
    // run was abandoned before).
    std::optional<PlanHealthRecord> health;
};

}  // namespace lumo
