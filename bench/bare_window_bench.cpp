// A bare Qt window of the size of Lumo's main window, for bench/window_memory.sh: shows an empty
// 723 x 508 QWidget and idles until it is killed.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(723, 508);
    window.show();
    return application.exec();
}
