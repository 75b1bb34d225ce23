#include "base/ChildSignal.h"

#include <signal.h>

namespace lumo {

void restoreDefaultChildSignal() {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGCHLD, &action, nullptr);
}

}  // namespace lumo
