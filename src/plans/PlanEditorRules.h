#pragma once

#include <array>
#include <optional>

#include "base/Text.h"
#include "check/MonitorPlan.h"
#include "plans/PlanEditMode.h"

// The rules of the plan editor on the page "方案操作", free of widgets: which plan fields its
// units edit (by column position), what a load puts into them, the statement a save runs and the
// message it shows, the radios of a judgement mode, and the hints of the units.
//
// The editor's content is held as a MonitorPlan: the text units by their columns, `id` the plan
// a save updates ("0": a save inserts), `code` "1" or "0" for the check box `gbk`, and `type` the
// judgement mode in decimal. Other columns are left empty.
//
// Pure functions, safe from any thread.
namespace lumo {

// The columns edited through the editor's text units, in the order a load fills them.
inline constexpr std::array<MonitorPlan::Column, 11> kEditorTextColumns = {
    MonitorPlan::name,    MonitorPlan::url,    MonitorPlan::before, MonitorPlan::after,
    MonitorPlan::regular, MonitorPlan::buquan, MonitorPlan::cookie, MonitorPlan::ua,
    MonitorPlan::tindex,  MonitorPlan::uindex, MonitorPlan::oindex};

// What the editor holds after loading `row` (a plan-list row) in `mode`; in mode New the row is
// not looked at and every text is empty.
// - id: the row's id in mode Edit, "0" in modes New and Copy;
// - code: "0" only when the row's code is exactly "0", otherwise "1" (an empty code ticks `gbk`);
// - type: the leading decimal number of the row's type (empty or not a number: 0);
// - the text columns: the row's texts unchanged.
MonitorPlan editorContentOf(PlanEditMode mode, const MonitorPlan& row);

// The caption of `按钮_保存配置` after a load: "更新规则" in mode Edit, "新建规则" otherwise.
Text saveButtonCaption(PlanEditMode mode);

// Which radio a judgement mode selects (1, 2 or 3 for 单选框1..3) and whether `uindex框` is
// enabled: CompareArticleId selects 3 and enables it, OldestFirst selects 2, anything else 1.
// The mode is the stored integer: a value outside JudgementMode is kept and written back.
struct JudgementRadios {
    int selected = 1;
    bool uindexEnabled = false;
};
JudgementRadios judgementRadiosOf(int mode);

// The statement that saves the editor's content: the insert of a new plan (ticked, isdo '1')
// when its id is "0", otherwise the update of the plan with that id. Every value is quoted with
// its single quotes doubled, the indexes of the update included, so any text the user typed is
// stored exactly and nothing can end a literal early.
Text planSaveStatement(const MonitorPlan& content);

// The message box that reports a save: "SQL语句：" + the statement, captioned "方案新建成功！"
// (for an update as well) or "创建失败！".
struct SaveReport {
    Text text;
    Text caption;
};
SaveReport saveReportOf(const Text& statement, bool saved);

// Whether the editor's plan `now` still holds what the rule test of `tested` used: the plan's id
// (the same plan is loaded), address, cookie, user agent, character set, markers and pattern.
// Only then may a test with matches enable the save button.
bool holdsTheTestedFields(const MonitorPlan& now, const MonitorPlan& tested);

// The HTML hint a unit shows in the hint bar when it receives the focus, by the column it edits
// (`code` for the check box `gbk`); none for the units without a hint, which leave the last hint
// in place.
std::optional<Text> fieldHint(MonitorPlan::Column column);

// The hint the bar shows when the editor opens.
Text initialEditorHint();

// The target of the link "获取帮助" in the hint of `正则框`: the help page on writing article
// patterns that ships with the program.
inline constexpr const char* kPatternHelpTarget = "lumo-help:article-patterns";

}  // namespace lumo
