#include "gui/window/ModuleFolders.h"

#include <QCoreApplication>

namespace lumo {

QStringList moduleFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir, programDir + QStringLiteral("/" LUMO_MODULES_FROM_BINDIR)};
}

}  // namespace lumo
