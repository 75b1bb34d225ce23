#pragma once

#include "base/Text.h"

namespace lumo {

// Receives the region a plan run cut out of its page, for the box `测试编辑框` on the plan editor
// page. Both kinds of run write it, so the box shows the region of the plan processed last.
//
// Thread-safety: called from a rule test's thread and from a monitoring worker; an
// implementation that owns the widget posts the text to the window thread.
class CutRegionSink {
public:
    virtual ~CutRegionSink() = default;
    virtual void showCutRegion(const Text& text) = 0;
};

}  // namespace lumo
