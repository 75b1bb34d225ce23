#pragma once

#include <map>
#include <mutex>
#include <optional>

#include "base/Text.h"
#include "store/DatabaseConnection.h"

namespace lumo {

// Health records held back to be written together. A steady check (nothing new after a check that
// did not fail) changes no more than its plan's times, and a transaction of its own for that
// would cost each plan of every round a journal and its syncs; such records wait here and the
// round's last check writes them all in one transaction.
//
// At most one record a plan is held: a later one replaces it (a steady record sets every column
// it touches, so the later is the whole truth). A plan whose health is written at once takes its
// held record first (take()), so the two land in order. A round that a stop ends early has its
// records written when monitoring shuts down; only a killed process loses them: at worst one
// round's times of plans that were working.
//
// Thread-safe: every member may be called from any thread.
class PendingHealth {
public:
    // Holds `statement` (PlanHealth::recordStatement) for plan `planId`.
    void hold(const Text& planId, Text statement);

    // The record held for `planId`, which is no longer held; none when there is none.
    std::optional<Text> take(const Text& planId);

    // Holds a taken record again after the write that took it failed, unless a later record of
    // the plan is held by now.
    void restore(const Text& planId, Text statement);

    // Writes every held record, with the table's creation, in one transaction on `database`.
    // On success nothing stays held; on failure the records stay held for the next write (a later
    // record of a plan still replaces its own). Nothing held: ok, and nothing is written.
    DatabaseConnection::BatchOutcome write(DatabaseConnection& database);

    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::map<Text, Text> held_;  // plan id to its statement
};

}  // namespace lumo
