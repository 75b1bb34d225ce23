#include <QApplication>

#include "app/Startup.h"
#include "base/AllocatorSettings.h"
#include "base/ChildSignal.h"
#include "store/InstallLayout.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    lumo::restoreDefaultChildSignal();
    QApplication application(argc, argv);
    return lumo::runLumo(application, lumo::InstallLayout::recordedProgramFolder());
}
