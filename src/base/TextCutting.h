#pragma once

#include "base/Text.h"

// Cutting texts out of a page between two markers, as plans describe their regions.
//
// Pure functions without state, safe to call from any thread.
namespace lumo {

// The text after the first occurrence of `left` and before the first occurrence of `right` that
// follows it; "#引号" in a marker stands for a double quote. Empty when a marker is missing; an
// empty left marker cuts from the start, an empty right marker always gives an empty result.
Text textBetween(const Text& text, const Text& left, const Text& right);

// Why textBetween() gives an empty text for these arguments (Cut::Some when it does not).
enum class Cut { Some, NoText, NoLeft, NoRight, EmptyRight, NothingBetween };
Cut whyCutIsEmpty(const Text& text, const Text& left, const Text& right);

// Every non-empty trimmed text between `left` and `right` (markers found ignoring ASCII case).
// Empties `list` first; returns the number of items.
int allTextsBetween(const Text& text, const Text& left, const Text& right, TextList& list);

}  // namespace lumo
