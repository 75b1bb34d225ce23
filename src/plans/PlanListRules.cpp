#include "plans/PlanListRules.h"

#include "base/TextOps.h"
#include "check/MonitorPlan.h"

namespace lumo {

TextList planListCaptions(const QueryResult& result) {
    TextList captions;
    captions.reserve(result.columns.size());
    for (std::size_t k = 0; k < result.columns.size(); ++k) {
        captions.push_back(textOfInteger(static_cast<long long>(k)) + result.columns[k]);
    }
    return captions;
}

bool planRowLoadsTicked(const TextList& row) {
    return row.size() > MonitorPlan::isdo && row[MonitorPlan::isdo] == "1";
}

PlanMenuState planMenuState(bool rowSelected, const TextList& selectedRow) {
    PlanMenuState state;
    if (!rowSelected) return state;
    state.edit = true;
    state.remove = true;
    state.copy = true;
    state.tick = !planRowLoadsTicked(selectedRow);
    return state;
}

Text defaultTickStatement(const Text& planId) {
    return "update rule set isdo=1 where id=" + planId;
}

}  // namespace lumo
