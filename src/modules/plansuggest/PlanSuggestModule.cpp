// The suggestion engine as a module of its own (lumo_plan_suggest), which the window's
// PlanSuggestionRunner loads at the first "从网页生成方案". The window itself does not link the
// HTML parser (gumbo) or libxml2, so they stay out of memory until a suggestion is asked for.
#include "suggest/PlanSuggester.h"

// The build this module comes from; the window uses no module of another (ModuleFolders).
extern "C" __attribute__((visibility("default"))) const char* lumoModuleStamp() {
    return LUMO_MODULE_STAMP;
}

// PlanSuggester::suggest(body, request) into `result`. Any thread.
extern "C" __attribute__((visibility("default"))) void lumoSuggestPlans(
    const lumo::Bytes& body, const lumo::SuggestionRequest& request,
    lumo::SuggestionResult& result) {
    result = lumo::PlanSuggester::suggest(body, request);
}
