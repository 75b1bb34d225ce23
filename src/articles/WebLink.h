#pragma once

#include <optional>

#include "base/Text.h"

namespace lumo {

// Decides whether an article's link may be handed to the desktop to open. Links come from the
// content of monitored pages, and the desktop's "open" would just as well start a local program
// or open a local file, so only web addresses pass:
//  - blanks and control characters around the link are dropped (bytes up to 0x20, 0x7F, and the
//    full-width space);
//  - what remains must begin with "http://" or "https://" (any case) followed by a host, that
//    is, a character that is not "/", "\", "?", "#" or a blank;
//  - it must hold no control character anywhere (bytes below 0x20, and 0x7F). Blanks inside are
//    allowed: the opener encodes them.
// The result is the link to open (trimmed, otherwise byte for byte as given; GBK bytes are
// kept), or nothing. Pure; any thread.
std::optional<Text> webLinkToOpen(const Text& link);

}  // namespace lumo
