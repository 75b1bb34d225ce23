#pragma once

#include "base/Text.h"
#include "check/PageSource.h"

namespace lumo {

// The reasons a plan's check failed, in words for the user (GBK). A line the user already knows
// keeps its text; the reason follows it in full-width brackets on the same line.

// "服务器返回 HTTP <status>" for an error status (400 and up), else empty.
Text errorStatusReason(int status);

// Why the region between `before` and `after` of `page` is empty: the fetch's failure when it
// failed, else the error status (when there was one) and which marker is missing.
Text emptyRegionReason(const Text& page, const FetchNote& note, const Text& before,
                       const Text& after);

// Why the pattern matched nothing: the regex engine's reason (a refused pattern, a search ended
// by its bound) or, with none, that the region holds no article; the error status first.
Text noMatchReason(const Text& patternFailure, int status);

// `line` + "（" + `reason` + "）"; `line` alone when there is no reason.
Text withReason(const Text& line, const Text& reason);

}  // namespace lumo
