#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "base/Text.h"
#include "check/JudgementMode.h"

namespace lumo::cli {

// How results are written: a GBK text as a JSON string (UTF-8), as a cell of a tab-separated
// line (UTF-8, with tab, line breaks and backslash escaped so one row stays one line), and a
// JSON document as text.
//
// Pure functions, safe from any thread.
nlohmann::json jsonText(const Text& text);
std::string tsvCell(const Text& text);
std::string tsvLine(const TextList& cells);
std::string jsonDocument(const nlohmann::json& document);
// The plan editor's caption of a judgement mode (GBK).
Text judgementModeCaption(JudgementMode mode);

}  // namespace lumo::cli
