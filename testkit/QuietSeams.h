#pragma once

#include "base/MessagePresenter.h"
#include "base/Text.h"

// A message box that shows nothing, for benchmarks that time the core without a window (the log
// and the cut region have theirs in the core: NullStatusLog, NullCutRegionSink). Stateless and
// callable from any thread.
namespace lumo::testkit {

class SilentMessages : public MessagePresenter {
public:
    void showMessage(const Text&, const Text&) override {}
};

}  // namespace lumo::testkit
