// The window as the install test starts it from its prefix: the program lumo, with that prefix's
// folder for programs as the installed one, so it runs in the installed layout there.
#include <QApplication>

#include "app/Startup.h"
#include "base/AllocatorSettings.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    return lumo::runLumo(application, LUMO_TEST_PROGRAM_DIR);
}
