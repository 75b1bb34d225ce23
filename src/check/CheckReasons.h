#pragma once

#include "base/Status.h"
#include "base/Text.h"
#include "check/PageSource.h"

namespace lumo {

// Why a plan's check failed, as a Status: its kind says what failed, its reason says why in words
// for the user (GBK), its code is the fetch's (curl's) for a failed fetch and otherwise the HTTP
// error status the server answered with (0 when none). A line the user already knows keeps its
// text; the reason follows it in full-width brackets on the same line.

// Refused, "服务器返回 HTTP <status>" with the status as its code, for an error status (400 and
// up); ok below.
Status errorStatusFailure(int status);

// Why the region between `before` and `after` of `page` is empty: the fetch's own failure when it
// failed; else the error status (when there was one) joined to what the page lacks: an empty page
// or nothing between the markers (Empty), a marker it does not hold (Missing), a plan without an
// end marker (Refused).
Status emptyRegionFailure(const Text& page, const FetchNote& note, const Text& before,
                          const Text& after);

// Why the pattern matched nothing: the regex engine's failure (a refused pattern, a search ended
// by its bound; its kind kept) or, with none, that the region holds no article (Empty); the
// error status first.
Status noMatchFailure(const Status& pattern, int status);

// `line` + "（" + the reason + "）"; `line` alone when `status` is ok.
Text withReason(const Text& line, const Status& status);

}  // namespace lumo
