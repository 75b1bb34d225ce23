#pragma once

#include <map>
#include <optional>

#include "base/Text.h"
#include "store/DatabaseConnection.h"
#include "store/QueryResult.h"

namespace lumo {

// One plan's health, as its latest checks left it (table `planhealth`, one row per plan that has
// been checked; `rule` is never touched).
struct PlanHealthRecord {
    Text planId;
    Text checked;       // time of the latest check (nowText)
    Text outcome;       // PlanHealth::kNewArticles, kNothingNew or kFailed
    Text reason;        // why the latest check failed; empty after a success
    int failures = 0;   // failed checks in a row, 0 after a success
    Text failingSince;  // time of the first of those failed checks; empty after a success
    Text lastSuccess;   // time of the latest successful check, empty when none
    Text lastNew;       // time of the latest check that stored new articles, empty when none

    bool brokenAt(int threshold) const { return threshold > 0 && failures >= threshold; }
};

// The health table: its statements and its reads. The table is a file's own addition: the first
// monitoring run on a file without it creates it in the run's transaction (kCreateTable), and a
// reader of such a file finds no records rather than a failure.
//
// Stateless; the reads use the given connection (which serialises them).
class PlanHealth {
public:
    static constexpr const char* kNewArticles = "new";
    static constexpr const char* kNothingNew = "none";
    static constexpr const char* kFailed = "failed";

    static const Text& createTableStatement();

    // The one statement that records a check of plan `planId` at `now`: a success resets the
    // failures, a failure counts one more (its spell starting at the first).
    static Text recordStatement(const Text& planId, const Text& outcome, const Text& reason,
                                const Text& now);

    // The record after recordStatement() on `before` (none: a plan never checked).
    static PlanHealthRecord after(const std::optional<PlanHealthRecord>& before, const Text& planId,
                                  const Text& outcome, const Text& reason, const Text& now);

    struct Read {
        QueryResult query;  // its ok, errorCode and message say whether the read worked
        std::map<Text, PlanHealthRecord> records;  // by plan id
    };
    // Every record, or one plan's (planId not empty).
    static Read read(DatabaseConnection& database, const Text& planId = Text());
};

}  // namespace lumo
