#include <QApplication>

#include "app/gui/Startup.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return lumo::runLumo(application);
}
