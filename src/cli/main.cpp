#include "base/AllocatorSettings.h"
#include "cli/CliApplication.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    return lumo::cli::CliApplication(argc, argv).run();
}
