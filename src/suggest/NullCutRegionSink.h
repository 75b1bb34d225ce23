#pragma once

#include "check/CutRegionSink.h"

namespace lumo {

// A cut-region sink that shows nothing: for a front end or a trial run without `测试编辑框`.
//
// Thread-safe: it does nothing.
class NullCutRegionSink : public CutRegionSink {
public:
    void showCutRegion(const Text&) override {}
};

}  // namespace lumo
