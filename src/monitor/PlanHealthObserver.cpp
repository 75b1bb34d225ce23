#include "monitor/PlanHealthObserver.h"

namespace lumo {

HealthChange healthChangeOf(const MonitorRunResult& result, int brokenAfter) {
    if (!result.health || brokenAfter < 1) return HealthChange::None;
    if (result.health->failures == brokenAfter) return HealthChange::Broken;
    if (result.health->failures == 0 && result.failuresBefore >= brokenAfter) {
        return HealthChange::Recovered;
    }
    return HealthChange::None;
}

}  // namespace lumo
