#include "base/AllocatorSettings.h"
#include "base/ChildSignal.h"
#include "cli/CliApplication.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    lumo::restoreDefaultChildSignal();
    return lumo::cli::CliApplication(argc, argv).run();
}
