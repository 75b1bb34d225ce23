#pragma once

#include "base/Status.h"
#include "base/Text.h"
#include "check/MonitorPlan.h"

namespace lumo {

class DatabaseConnection;

// Stores a suggested plan as a new plan of table `rule`: unticked (isdo "0"), with empty
// last-seen fields, so that its first check takes every article of its list.
//
// Safe from any thread: one statement, under the connection's lock.
class SuggestedPlanStore {
public:
    struct Outcome {
        Status status;     // the insert's failure: SQLite's code and message
        long long id = 0;  // the new plan's id when ok
    };

    static Outcome save(DatabaseConnection& database, const MonitorPlan& plan);
};

}  // namespace lumo
