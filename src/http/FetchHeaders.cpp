#include "http/FetchHeaders.h"

#include "base/TextCutting.h"
#include "base/TextOps.h"

namespace lumo {

const Text kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

namespace {

// The text up to its first CR or LF.
Text firstLine(const Text& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

const Text kLineBreaksAndNul("\r\n\0", 3);

}  // namespace

bool isHeaderSafe(const Text& value) {
    return value.find_first_of(kLineBreaksAndNul) == Text::npos;
}

Text headerSafePart(const Text& value) {
    return value.substr(0, value.find_first_of(kLineBreaksAndNul));
}

Text userAgentOf(const Text& headers) {
    if (findText(headers, "User-Agent:", 1, true) < 0) return kDefaultUserAgent;
    Text agent = trimText(textBetween(headers + "\r\n", "User-Agent:", "\r\n"));
    if (agent.empty()) {
        // The line is spelled in another case: take what follows the first colon. It stops at the
        // line's end, as a line break inside the agent would split the request's header.
        const int colon = findText(headers, ":");
        agent = trimText(firstLine(middleText(headers, colon + 1, textLength(headers))));
    }
    return firstLine(agent);
}

Text composeHeaderBlock(const Text& headers, const Text& url, const Text& cookieText) {
    const Text cookie = headerSafePart(cookieText);
    Text block = headers;
    if (block.empty())
        block = "Accept: */*";
    else if (findText(block, "Accept:") < 0)
        block += "\r\nAccept: */*";
    if (findText(block, "Referer:") < 0) block += "\r\nReferer: " + url;
    if (findText(block, "Accept-Language:") < 0) block += "\r\nAccept-Language: zh-cn";
    if (findText(block, "Content-Type:") < 0)
        block += "\r\nContent-Type: application/x-www-form-urlencoded";
    if (!cookie.empty()) {
        if (findText(cookie, "Cookie:") > 0)
            block += "\r\n" + cookie;
        else
            block += "\r\nCookie: " + cookie;
    }
    return block;
}

Text withSetCookieSpelled(const Text& headerBlock) {
    return replaceAllText(headerBlock, "Set-Cookie", "Set-Cookie", true);
}

Text cookiesOfResponse(const Text& headerBlock) {
    Text cookies;
    for (const Text& piece : splitText(headerBlock, "\r\n")) {
        if (findText(piece, "Set-Cookie") < 0) continue;
        if (findText(piece, ";") < 0)
            cookies += trimText(replaceAllText(piece, "Set-Cookie:", "", true));
        else
            cookies += trimText(textBetween(piece, "Set-Cookie:", ";"));
        cookies += "; ";
    }
    return leftText(cookies, textLength(cookies) - 2);
}

}  // namespace lumo
