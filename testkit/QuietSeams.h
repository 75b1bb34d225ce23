#pragma once

#include "base/MessagePresenter.h"
#include "base/StatusLog.h"
#include "base/Text.h"
#include "check/CutRegionSink.h"

// Front-end seams that show nothing, for benchmarks that time the core without a window. Each is
// stateless and callable from any thread.
namespace lumo::testkit {

class SilentLog : public StatusLog {
public:
    void append(const Text&) override {}
    void replace(const Text&) override {}
};

class SilentMessages : public MessagePresenter {
public:
    void showMessage(const Text&, const Text&) override {}
};

class NoCutRegion : public CutRegionSink {
public:
    void showCutRegion(const Text&) override {}
};

}  // namespace lumo::testkit
