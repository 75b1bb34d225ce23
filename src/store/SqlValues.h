#pragma once

#include "base/Text.h"

// Turning values into pieces of the SQL texts that plan processing writes. The statements are
// built by concatenation, so each helper guarantees its piece cannot end a literal early or carry
// a second statement, whatever bytes the value holds (quotes, NUL bytes, broken GBK).
//
// Pure functions, safe from any thread.
namespace lumo {

// `text` made safe inside a quoted SQL literal: ' doubled; ; ( ) turned full-width; CR LF removed.
Text escapeSqlText(const Text& text);

// The value for a quoted literal: every single quote doubled. Quotes are found byte by byte, so a
// quote right after a stray GBK lead byte is doubled too; for well-formed GBK this is the same as
// doubling by characters. A value is a text, so it ends at its first NUL byte.
Text sqlQuoteDoubled(const Text& value);

// escapeSqlText of the value (quote doubled; ; ( ) full-width; CR LF removed), made safe where
// broken GBK hid a quote from it: a stray lead byte swallows the quote after it, which would leave
// a lone quote in the literal, so every run of quotes is brought to an even length.
Text sqlEscapedText(const Text& value);

// A value that stands unquoted (an id): its integer in decimal, so it is always a number.
Text sqlInteger(const Text& value);

}  // namespace lumo
