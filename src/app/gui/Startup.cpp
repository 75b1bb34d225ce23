#include "app/gui/Startup.h"

#include <QApplication>
#include <QWidget>

namespace lumo {

int runLumo(QApplication& application) {
    QWidget window;
    window.show();
    return application.exec();
}

}  // namespace lumo
