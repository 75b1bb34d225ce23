#pragma once

namespace lumo {

// How the plan editor is filled from the plan list:
// - New: from no row; every field empty, a save inserts a new plan.
// - Edit: from the selected row; a save updates that plan.
// - Copy: from the selected row; a save inserts a new plan with the same fields.
enum class PlanEditMode { New, Edit, Copy };

}  // namespace lumo
