#pragma once

#include "monitor/AlertSurface.h"

namespace lumo::cli {

// A terminal has neither sound nor a notification area: both alert options read as off, so a
// new-content alert is only its log line.
class TerminalAlertSurface : public AlertSurface {
public:
    bool soundAlertEnabled() const override { return false; }
    bool iconAlertEnabled() const override { return false; }
    void playAlertSound() override {}
    void showTrayIcon(TrayIconKind) override {}
};

}  // namespace lumo::cli
