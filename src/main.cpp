#include <QApplication>

#include "app/AllocatorSettings.h"
#include "app/gui/Startup.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    return lumo::runLumo(application);
}
