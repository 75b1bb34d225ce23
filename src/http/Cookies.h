#pragma once

#include "base/Text.h"

// Merging the cookies a response sets into those a plan already sends.
//
// Pure functions without state, safe to call from any thread.
namespace lumo {

// Merges the cookies a response set (`fresh`) into `old`: fresh ones replace old ones of the same
// name, "=deleted" ones vanish, duplicates collapse. `old` holds the result too.
Text mergeCookies(Text& old, const Text& fresh);

// The name of a cookie item: the part before its first "=", trimmed.
Text cookieName(const Text& item);

// True when some item has exactly this cookie name.
bool hasCookieName(const TextList& items, const Text& name);

// The pieces of `text` between separators, each taken once, joined by `separator`.
Text uniqueJoin(const Text& text, const Text& separator);

}  // namespace lumo
