#pragma once

// Placeholder header: the page fetch is being written. The declarations below are the contract
// other code may rely on already.
#include <optional>

#include "app/Text.h"

namespace lumo {

// One HTTP or HTTPS request over libcurl. Parameters left out by the caller are std::nullopt /
// null; whether `cookie` was supplied at all matters (see PageFetcher.cpp).
struct FetchRequest {
    Text url;
    int method = 0;                    // 0 GET, 1 POST, 2 HEAD; anything else is GET
    Text postText;                     // body text for POST
    std::optional<Text> cookie;        // in/out: supplied => no cookie engine, merged with Set-Cookie
    Text* cookiesOut = nullptr;        // out: the cookies the response set
    std::optional<Text> headers;       // in/out: extra header lines; becomes the composed block
    Text* headersOut = nullptr;        // out: raw header block of the final response
    bool noRedirect = false;
    std::optional<Bytes> postBytes;    // body bytes for POST; wins over postText
    Text proxy;
};

}  // namespace lumo
