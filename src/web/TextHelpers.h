#pragma once

#include "app/GbkCodec.h"
#include "app/Text.h"

// The small text operations page fetching and plan processing rest on: cutting between markers,
// SQL escaping and cookie merging. utf8ToGbk / gbkToUtf8 come from app/GbkCodec.h.
//
// Pure functions without state, safe to call from any thread.
namespace lumo {

// The text after the first occurrence of `left` and before the first occurrence of `right` that
// follows it; "#引号" in a marker stands for a double quote. Empty when a marker is missing; an
// empty left marker cuts from the start, an empty right marker always gives an empty result.
Text textBetween(const Text& text, const Text& left, const Text& right);

// Every non-empty trimmed text between `left` and `right` (markers found ignoring ASCII case).
// Empties `list` first; returns the number of items.
int allTextsBetween(const Text& text, const Text& left, const Text& right, TextList& list);

// `text` made safe inside a quoted SQL literal: ' doubled; ; ( ) turned full-width; CR LF removed.
Text escapeSqlText(const Text& text);

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
