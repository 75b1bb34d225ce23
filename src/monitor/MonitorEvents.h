#pragma once

#include "base/Text.h"
#include "check/MonitorPlan.h"
#include "monitor/PlanOutcome.h"

namespace lumo {

// Why a click on `运行` started nothing. Its message box has been shown by then.
enum class StartRefusal {
    FrequencyTooLow,  // repeating rounds below the smallest frequency: it is to read "60" now
    NoPlanTicked,     // no plan is taken part (after monitoringStarting)
};

// What the monitoring rounds report as they go, for a front end to show in its own way. The log
// lines are the rounds' own and go to the StatusLog; these events say what happened, in the
// order it happened:
//
//   startRefused(FrequencyTooLow)
//   monitoringStarting startRefused(NoPlanTicked)
//   monitoringStarting monitoringStarted R... monitoringStopped
//   where a round R is: (planStarted planFinished)... roundEnded
//
// A stop may come at any point after monitoringStarted: monitoringStopped follows at once and
// nothing else of that start does. The program's end (MonitorEngine::shutdown) reports nothing.
// An event a front end has nothing to show for is left as it is (the defaults do nothing).
//
// Main (window) thread only; an event may hand control to the front end's event loop, and may
// stop monitoring from inside (the rounds notice it when the event returns).
class MonitorEvents {
public:
    virtual ~MonitorEvents() = default;

    // The click on `运行` started nothing (see StartRefusal).
    virtual void startRefused(StartRefusal /*why*/) {}

    // A start was asked for and its plans collected; started or refused follows (the message box
    // of a refusal comes between).
    virtual void monitoringStarting() {}

    // Monitoring started: rounds run from now until monitoringStopped.
    virtual void monitoringStarted() {}

    // The run of `plan` begins, at 1-based `position` of the `count` plans of the round; `plan`
    // is the row as the run gets it.
    virtual void planStarted(int /*position*/, int /*count*/, const MonitorPlan& /*plan*/) {}

    // The run at `position` has ended, with whatever it did after its check (its commands), and
    // `outcome` says how: the articles it stored, nothing new, or failed with its Status. (A
    // plan's change to broken and back reaches a front end through PlanHealthObserver.)
    virtual void planFinished(int /*position*/, const PlanOutcome& /*outcome*/) {}

    // The last plan of a round has ended and the round line is logged. `newArticles`: the
    // round stored articles, so the lists are out of date; the alert follows this event.
    virtual void roundEnded(bool /*newArticles*/) {}

    // Monitoring has stopped: by a click on `运行`, or by itself after its single round.
    virtual void monitoringStopped() {}

    // A click on `自动监控框`: rounds will (or will not) repeat at the next start.
    virtual void repeatChanged(bool /*repeat*/) {}
};

}  // namespace lumo
