#pragma once

namespace lumo::cli {

// SIGINT and SIGTERM are held back from the start of the program until a command is ready for
// them: `run` unblocks them once its handler is installed, so a stop at any moment of a run is
// the orderly one; every other command unblocks them at once, and they end it as usual.
//
// Call block() on the main thread before any other thread exists; threads started later inherit
// the mask in force.
struct StopSignals {
    static void block();
    static void unblock();
};

}  // namespace lumo::cli
