#include "suggest/SuggestedPlanStore.h"

#include "base/TextOps.h"
#include "store/DatabaseConnection.h"
#include "store/SqlValues.h"

namespace lumo {

SuggestedPlanStore::Outcome SuggestedPlanStore::save(DatabaseConnection& database,
                                                     const MonitorPlan& plan) {
    static constexpr MonitorPlan::Column kColumns[] = {
        MonitorPlan::code,  MonitorPlan::name,   MonitorPlan::url,     MonitorPlan::cookie,
        MonitorPlan::ua,    MonitorPlan::buquan, MonitorPlan::regular, MonitorPlan::before,
        MonitorPlan::after, MonitorPlan::tindex, MonitorPlan::uindex,  MonitorPlan::oindex,
        MonitorPlan::type};
    static constexpr const char* kNames[] = {"code",   "name",    "url",    "cookie", "ua",
                                             "buquan", "regular", "before", "after",  "tindex",
                                             "uindex", "oindex",  "type"};
    Text names = "isdo,arttile,arturl,lasttime,lastid";
    Text values = "'0','','','',''";
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        names += Text(",") + kNames[i];
        values += ",'" + sqlQuoteDoubled(plan[kColumns[i]]) + "'";
    }
    // The id comes back from the insert itself, so no other writer's row can be taken for it.
    const QueryResult inserted =
        database.query("insert into rule(" + names + ") values(" + values + ") returning id");
    Outcome outcome;
    if (!inserted.ok) {
        outcome.status = inserted.status();
    } else if (inserted.rowCount() != 1 || inserted.rows[0].empty()) {
        outcome.status = Status::failure(Status::Kind::Failed, "the insert gave no id back");
    } else {
        outcome.id = integerOfText(inserted.rows[0][0]);
    }
    return outcome;
}

}  // namespace lumo
