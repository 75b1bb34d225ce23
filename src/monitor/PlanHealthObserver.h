#pragma once

#include "check/MonitorPlan.h"
#include "check/MonitorRunResult.h"

namespace lumo {

// How one check changed its plan's standing: it became broken (its failed checks in a row
// reached the threshold), it recovered (a success after a broken spell), or neither. Each change
// is reported once: the count passes the threshold once per spell.
enum class HealthChange { None, Broken, Recovered };

// The change `result` made, for a plan that counts as broken after `brokenAfter` failed checks
// in a row. None when the record could not be stored, or the count before could not be read and
// the check succeeded.
HealthChange healthChangeOf(const MonitorRunResult& result, int brokenAfter);

// What a front end does about a plan's health beyond the log lines (a command, a mark on the
// plan's row, an alert, an exit status).
//
// Called on the monitoring worker thread after each check that was not abandoned; an
// implementation posts what belongs to another thread.
class PlanHealthObserver {
public:
    virtual ~PlanHealthObserver() = default;
    virtual void checkEnded(const MonitorPlan& plan, const MonitorRunResult& result,
                            HealthChange change) = 0;
};

}  // namespace lumo
