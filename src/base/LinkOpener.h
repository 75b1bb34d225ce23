#pragma once

#include "base/Text.h"

namespace lumo {

// Hands an address to the user's default program for it (the web browser for a web link).
//
// Fire and forget: the outcome is not reported, and a link that cannot be opened is simply not
// opened. Window thread only.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;

    // `url` is a GBK text.
    virtual void openLink(const Text& url) = 0;
};

}  // namespace lumo
