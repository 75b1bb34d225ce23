#include "store/PendingHealth.h"

#include "base/TextOps.h"
#include "store/PlanHealth.h"

namespace lumo {

void PendingHealth::hold(const Text& planId, Text statement) {
    const std::lock_guard lock(mutex_);
    held_[planId] = std::move(statement);
}

std::optional<Text> PendingHealth::take(const Text& planId) {
    const std::lock_guard lock(mutex_);
    const auto found = held_.find(planId);
    if (found == held_.end()) return std::nullopt;
    Text statement = std::move(found->second);
    held_.erase(found);
    return statement;
}

void PendingHealth::restore(const Text& planId, Text statement) {
    const std::lock_guard lock(mutex_);
    held_.try_emplace(planId, std::move(statement));
}

DatabaseConnection::BatchOutcome PendingHealth::write(DatabaseConnection& database) {
    std::map<Text, Text> writing;
    {
        const std::lock_guard lock(mutex_);
        writing.swap(held_);
    }
    if (writing.empty()) {
        DatabaseConnection::BatchOutcome nothing;
        nothing.ok = true;
        return nothing;
    }
    TextList statements{PlanHealth::createTableStatement()};
    for (const auto& [planId, statement] : writing) statements.push_back(statement);
    DatabaseConnection::BatchOutcome outcome = database.executeAll(statements);
    if (!outcome.ok) {
        // Back for the next write, unless a plan was checked again meanwhile.
        for (auto& [planId, statement] : writing) restore(planId, std::move(statement));
    }
    return outcome;
}

std::size_t PendingHealth::size() const {
    const std::lock_guard lock(mutex_);
    return held_.size();
}

}  // namespace lumo
