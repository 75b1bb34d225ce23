#pragma once

class QApplication;

namespace lumo {

// Brings the program up in its fixed order, runs the window's event loop and shuts down once.
int runLumo(QApplication& application);

}  // namespace lumo
