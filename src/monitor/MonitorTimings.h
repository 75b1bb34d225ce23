#pragma once

#include <chrono>

namespace lumo {

// The waits of the monitoring rounds. The defaults are the program's; tests shorten them.
struct MonitorTimings {
    // Between two looks at workerBusy while a plan is processed (one heartbeat line each).
    std::chrono::milliseconds heartbeat{2000};
    // After every plan, and after the wait that ends a round.
    std::chrono::milliseconds gap{5000};
    // The round wait is the frequency in seconds times this.
    std::chrono::milliseconds perSecondOfFrequency{1000};
    // Pause after each article a run inserts.
    std::chrono::milliseconds insertPause{500};
    // How often a new start looks whether the worker of a stopped run has ended yet.
    std::chrono::milliseconds previousWorkerPoll{50};
};

}  // namespace lumo
