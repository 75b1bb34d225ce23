#include <QApplication>

#include "app/Startup.h"
#include "base/AllocatorSettings.h"
#include "store/InstallLayout.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    return lumo::runLumo(application, lumo::InstallLayout::recordedProgramFolder());
}
