#include "cli/CliApplication.h"

int main(int argc, char** argv) {
    return lumo::cli::CliApplication(argc, argv).run();
}
