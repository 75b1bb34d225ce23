#pragma once

#include <optional>

#include "base/Status.h"
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
    // The pattern's search: ok, or why it matched nothing (ArticleMatches::failure()).
    Status patternStatus;
    // The check: ok when it worked, else what failed and why (GBK words, the text of the health
    // record's reason): the fetch (its own Status), the region (Missing marker, Empty region, an
    // empty end marker Refused), the pattern (no article: Empty; a refused or cut-off search: the
    // search's kind), the server's error status (Refused, the status as the code), or the writes
    // (Busy or Failed, SQLite's code). A run that was abandoned has no verdict.
    Status status;
    int httpStatus = 0;  // of the page's response; 0 when none arrived
    // Failed checks in a row before this one; -1 when the health record could not be read.
    int failuresBefore = -1;
    // The plan's health record as this check stored it; none when it could not be stored (or the
    // run was abandoned before).
    std::optional<PlanHealthRecord> health;
};

}  // namespace lumo
