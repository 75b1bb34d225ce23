#pragma once

#include <utility>

#include "base/Status.h"

namespace lumo {

// How one plan's run in a round ended: what the rounds engine reports with
// MonitorEvents::planFinished. A plain value: the worker makes it, the engine copies it across
// to the main thread.
struct PlanOutcome {
    enum class Kind {
        NewArticles,  // the check worked and stored `newArticles` articles
        NothingNew,   // the check worked and found nothing new
        Failed,       // the check failed: `status` says what and why (GBK words); it may still
                      // have stored articles (an error status whose page still held the list)
        Abandoned,    // a stop ended the run before it was done
    };

    Kind kind = Kind::NothingNew;
    // Articles the run stored (also when it failed or was abandoned after its commit).
    int newArticles = 0;
    // Ok unless Failed.
    Status status;

    static PlanOutcome stored(int count) {
        return count > 0 ? PlanOutcome{Kind::NewArticles, count, Status()} : nothingNew();
    }
    static PlanOutcome nothingNew() { return PlanOutcome{Kind::NothingNew, 0, Status()}; }
    static PlanOutcome failed(Status status, int newArticles = 0) {
        return PlanOutcome{Kind::Failed, newArticles, std::move(status)};
    }
    static PlanOutcome abandoned(int newArticles = 0) {
        return PlanOutcome{Kind::Abandoned, newArticles, Status()};
    }
};

}  // namespace lumo
