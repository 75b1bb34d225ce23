#pragma once

#include "base/Text.h"

namespace lumo {

// One desktop notification, as the core composes it: GBK texts, converted where the notification
// leaves the program. Page text in it is plain text; the desktop side makes it safe for the
// notification service.
struct DesktopNotice {
    // The notification's title line.
    Text summary;
    // The body, one entry per line.
    TextList bodyLines;
    // The article an "open" action leads to; none when empty. The desktop side offers the action
    // only for a web address.
    Text link;
};

// Shows desktop notifications (the desktop's notification service).
//
// show() returns at once: it never waits for the service, and where none runs nothing is shown
// and nothing is reported. Window thread only.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;

    virtual void show(const DesktopNotice& notice) = 0;
};

}  // namespace lumo
