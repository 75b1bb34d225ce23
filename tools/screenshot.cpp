// Saves a picture of Lumo's window as it opens, for the README. Runs headless:
//
//   QT_QPA_PLATFORM=offscreen lumo_screenshot EMPTY_LUMO_SDB OUTPUT.png [PAGE]
//
// The window opens on a copy of EMPTY_LUMO_SDB in a temporary folder, so no database of the user
// is touched. PAGE is the index of the tab to show (0, the welcome page, by default).
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/LumoApplication.h"
#include "gui/window/MainWindow.h"
#include "gui/window/TabControl.h"

namespace {

// The CJK dialog font the program itself picks.
void useDialogFont(QApplication& application) {
    const QStringList families = QFontDatabase::families();
    for (const QString& family :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (families.contains(family)) {
            application.setFont(QFont(family, 9));
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: lumo_screenshot EMPTY_LUMO_SDB OUTPUT.png [PAGE]\n");
        return 2;
    }
    QTemporaryDir folder;
    if (!folder.isValid() || !QFile::copy(args[1], folder.filePath("lumo.sdb"))) {
        std::fprintf(stderr, "lumo_screenshot: cannot copy %s\n", qPrintable(args[1]));
        return 1;
    }
    useDialogFont(application);
    lumo::LumoApplication::Options options;
    options.programDir = folder.path();
    options.trayAvailable = [] { return false; };
    lumo::LumoApplication lumo(options);
    lumo.start();
    if (args.size() > 3) lumo.window().tabs->setCurrentIndex(args[3].toInt());

    int code = 0;
    // Grabbed once the window has laid itself out and painted.
    QTimer::singleShot(500, [&] {
        if (!lumo.window().grab().save(args[2], "PNG")) {
            std::fprintf(stderr, "lumo_screenshot: cannot write %s\n", qPrintable(args[2]));
            code = 1;
        }
        QApplication::quit();
    });
    application.exec();
    lumo.shutdownApplication();
    return code;
}
