#include "gui/window/ModuleFolders.h"

#include <QCoreApplication>
#include <QLibrary>

namespace lumo {

QStringList moduleFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir, programDir + QStringLiteral("/" LUMO_MODULES_FROM_BINDIR)};
}

QFunctionPointer resolveModuleEntry(const QString& name, const char* symbol,
                                    const QStringList& folders, QStringList* reasons) {
    for (const QString& folder : folders) {
        QLibrary module(folder + QStringLiteral("/") + name);
        if (const QFunctionPointer entry = module.resolve(symbol)) return entry;
        if (reasons != nullptr) *reasons << module.errorString();
    }
    return nullptr;
}

}  // namespace lumo
