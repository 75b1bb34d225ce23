#pragma once

namespace lumo::cli {

// The exit statuses of lumo-cli, as `--help` lists them.
enum ExitCode : int {
    kExitSuccess = 0,      // done; also a `run` stopped by SIGINT or SIGTERM
    kExitFailed = 1,       // the command ran and failed: no match, a failed statement, no file made
                           // or written
    kExitBadInput = 2,     // nothing was done: bad arguments, no usable database, unknown plan,
                           // frequency below 60, no plan to run, a file that init will not replace,
                           // a plan file that fails its checks
    kExitCheckFailed = 3,  // `run` of a single round: a plan's check failed (the log says why);
                           // what the other plans found is stored
    kExitBusy = 75,        // the database was held locked by another program past the wait; trying
                           // again later may succeed (EX_TEMPFAIL of sysexits.h)
};

// The text `--help` ends with.
inline constexpr const char* kExitCodeHelp =
    "Exit status:\n"
    "  0  done (a run stopped by SIGINT or SIGTERM included)\n"
    "  1  the command ran and failed (test without a match or a blocked address, suggest for a\n"
    "     page that cannot be fetched or holds no list, a failed SQL statement, a read of the\n"
    "     database failed, the database cannot be read, init, feed -o or plans export -o could\n"
    "     not write the file, plans import could not write the database)\n"
    "  2  nothing was done: bad arguments, database missing or not a Lumo database, unknown plan\n"
    "     id, frequency below 60, no plan to run, init target exists, a plan file that is\n"
    "     unreadable or fails a check\n"
    "  3  run (a single round): a plan's check failed (no page, no region, no article found,\n"
    "     an error status or writes not stored; the log says why); the rest ran as usual\n"
    "  75 the database was busy: another program held it locked longer than the wait (five\n"
    "     seconds); nothing was done or written, and trying again later may succeed\n"
    "\n"
    "Database: --db PATH, else the environment variable LUMO_DB, else lumo.sdb beside the\n"
    "program. Output is UTF-8; errors and messages go to standard error. A message the window\n"
    "shows in a box is written there and never waits for an answer (as if OK was pressed).";

}  // namespace lumo::cli
