#pragma once

#include <string>

namespace lumo::cli {

// The command-line front end: assembles the terminal, the shared options and the subcommands,
// parses the arguments and runs the chosen subcommand. Returns the exit status (ExitCode).
//
// Main thread only; one run() per process.
class CliApplication {
public:
    CliApplication(int argc, char** argv);
    int run();

    // The folder of the running program, where its lumo.sdb lies; empty when unknown.
    static std::string programDirectory(const char* argv0);

private:
    int argc_;
    char** argv_;
};

}  // namespace lumo::cli
