#include <QApplication>

#include "app/Startup.h"
#include "base/AllocatorSettings.h"

int main(int argc, char** argv) {
    lumo::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    return lumo::runLumo(application);
}
