#pragma once

#include <cstdint>

#include "base/Text.h"

// The text primitives every part of the program cuts and searches with.
//
// Positions are 1-based byte positions; a search that finds nothing yields -1. A byte of 0x80 or
// more begins a two-byte GBK character, and scans step over such a pair as one unit, so no match
// ever begins on a trail byte; a lone lead byte at the end ends the scan. "Spaces" are the ASCII
// space and the full-width space 0xA1 0xA1, nothing else.
//
// All functions are pure and safe to call from any thread. None reads past the end of its input,
// whatever bytes it holds.
namespace lumo {

// Number of bytes.
int textLength(const Text& text);

// Position of the first occurrence of `what` that begins at or after `start` (below 1 counts as
// 1), or -1. With `ignoreCase`, ASCII letters are folded (bytes of 0x80 or more never are). An
// empty `what` is found at 1 whenever a byte remains at or after `start`.
int findText(const Text& text, const Text& what, int start = 1, bool ignoreCase = false);

// Position of the last occurrence of `what` (same stepping as findText), or -1.
int findLastText(const Text& text, const Text& what);

// The first / last n bytes; empty for n <= 0, the whole text for n past the length.
Text leftText(const Text& text, int n);
Text rightText(const Text& text, int n);

// n bytes from 1-based `position`; empty when position is outside the text or n <= 0.
Text middleText(const Text& text, int position, int n);

// The text without spaces at both ends; a full-width space goes as a whole pair.
Text trimText(const Text& text);

// The text without any space anywhere.
Text removeAllSpaces(const Text& text);

// Every occurrence of `what` replaced by `by`, scanning forward so that a replacement is never
// scanned again. An empty `what` leaves the text unchanged.
Text replaceAllText(const Text& text, const Text& what, const Text& by, bool ignoreCase = false);

// The pieces between occurrences of `separator` (found with case). Inner empty pieces count, an
// empty last piece is dropped, and an empty text gives an empty list.
TextList splitText(const Text& text, const Text& separator);

// ASCII capitals turned into small letters; trail bytes of two-byte characters are left alone.
Text lowerText(const Text& text);

// The text as a 32-bit signed integer: full-width ASCII forms (lead byte 0xA3) and the full-width
// space are first turned into ASCII, then leading spaces are skipped, an optional sign read and
// the digits up to the first other character. No digits give 0; a value beyond the 32-bit range
// stops at its nearest limit.
std::int32_t integerOfText(const Text& text);

// The same reading as a 64-bit signed integer (a value beyond that range stops at its nearest
// limit): for article ids, which outgrow 32 bits on large boards and in `info`.
std::int64_t integer64OfText(const Text& text);

// Decimal digits, "-" in front of a negative value.
Text textOfInteger(long long value);

// The bytes up to the first NUL, or all of them when there is none.
Text textOfBytes(const Bytes& bytes);

}  // namespace lumo
