#pragma once

#include "base/Text.h"

// The header texts of a page request and its response: the user agent, the composed request
// block, and the cookies a response sets.
//
// Pure functions, safe from any thread.
namespace lumo {

// The default user agent, used when the caller's header lines name none.
extern const Text kDefaultUserAgent;

// True when `value` may go into a header line as it is: it holds no CR, LF or NUL.
bool isHeaderSafe(const Text& value);

// `value` up to its first CR, LF or NUL: the part of it that may go into a header line.
Text headerSafePart(const Text& value);

// The user agent for a request with these extra header lines: the trimmed value of the
// "User-Agent:" line when one is written that way; when the lines mention "User-Agent:" only in
// another letter case, whatever follows the first ":" up to the line's end, trimmed; the default
// agent when they do not mention it at all. Never holds a line break.
Text userAgentOf(const Text& headers);

// The caller's header lines completed, in this order and each only when the lines do not contain
// it already (case-sensitive): "Accept: */*", "Referer: " + url, "Accept-Language: zh-cn",
// "Content-Type: application/x-www-form-urlencoded", then the cookie line when `cookie` is not
// empty ("Cookie: " + cookie, or the cookie as it is when it holds "Cookie:" itself); only the
// cookie's headerSafePart() is taken, so it never adds a line of its own. Lines are joined by CR
// LF, with none at the end.
Text composeHeaderBlock(const Text& headers, const Text& url, const Text& cookie);

// The response header block with every spelling of "Set-Cookie" (ASCII case ignored) written
// "Set-Cookie".
Text withSetCookieSpelled(const Text& headerBlock);

// The cookies the lines of a response block set, in order, joined by "; ": of a line containing
// "Set-Cookie", the text between "Set-Cookie:" and the first ";", trimmed, or with no ";" the line
// without its "Set-Cookie:" (ASCII case ignored), trimmed. Lines whose value comes out empty still
// add their separator.
Text cookiesOfResponse(const Text& headerBlock);

}  // namespace lumo
