#pragma once

#include "base/Text.h"

// Small readings of HTML source held as GBK text: character references decoded, the text a
// reader sees, and addresses resolved the way a browser resolves a link.
//
// Pure functions, safe from any thread.
namespace lumo {

// The text with its character references decoded: &amp; &lt; &gt; &quot; &apos; &nbsp; (a space)
// and numeric ones (&#20320; &#x4F60;) as GBK. Anything else stays as written.
Text decodeHtmlEntities(const Text& text);

// What a reader sees of a piece of markup: tags and comments dropped, character references
// decoded, every run of white space one space, trimmed.
Text visibleText(const Text& markup);

// `reference` resolved against `base` (an absolute http or https address), as a link on a page
// at `base` leads. Line breaks and blanks around the reference are ignored.
Text resolveUrl(const Text& base, const Text& reference);

}  // namespace lumo
