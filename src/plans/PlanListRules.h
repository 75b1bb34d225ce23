#pragma once

#include "base/Text.h"
#include "store/QueryResult.h"

// The rules of the plan list `项目列表框`, the in-memory form of table `rule`: its columns, which
// rows load ticked, what its context menu offers and the statement of "默认勾选".
//
// Pure functions, safe from any thread.
namespace lumo {

// The statement that fills the list.
inline constexpr const char* kPlanListQuery = "select * from rule";

// Width of every plan-list column, in pixels.
inline constexpr int kPlanListColumnWidth = 80;

// Caption of list column k: the 0-based index in decimal followed by the column name ("0id",
// "19type"), one per result column in order.
TextList planListCaptions(const QueryResult& result);

// A row loads ticked when its column 17 (`isdo`) is exactly "1".
bool planRowLoadsTicked(const TextList& row);

// What the menu "方案" offers. "新建监控方案" is always enabled.
struct PlanMenuState {
    bool edit = false;    // "编辑"
    bool remove = false;  // "删除"
    bool copy = false;    // "复制"
    bool tick = false;    // "默认勾选"
};

// Without a selected row only "新建监控方案" is offered; with one, edit, delete and copy are, and
// "默认勾选" unless the row's column 17 (as loaded) is already "1".
PlanMenuState planMenuState(bool rowSelected, const TextList& selectedRow);

// "update rule set isdo=1 where id=" followed by the row's id text, as the list shows it.
Text defaultTickStatement(const Text& planId);

}  // namespace lumo
