#include "gui/modules/ModuleFolders.h"

#include <QCoreApplication>
#include <QLibrary>
#include <cstring>

namespace lumo {
namespace {

// Why the loaded `module` is not to be used, or empty when it comes from this program's build.
QString refusalOf(QLibrary& module) {
    using Stamp = const char* (*)();
    const auto stamp = reinterpret_cast<Stamp>(module.resolve("lumoModuleStamp"));
    const char* theirs = stamp != nullptr ? stamp() : nullptr;
    if (theirs != nullptr && std::strcmp(theirs, LUMO_MODULE_STAMP) == 0) return {};
    const QString built = theirs != nullptr
                              ? QStringLiteral("for %1").arg(QString::fromUtf8(theirs))
                              : QStringLiteral("by an older Lumo (it has no build stamp)");
    return QStringLiteral("%1 is not used: it was built %2, and this is " LUMO_MODULE_STAMP)
        .arg(module.fileName(), built);
}

}  // namespace

QStringList moduleFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir, programDir + QStringLiteral("/" LUMO_MODULES_FROM_BINDIR)};
}

QFunctionPointer resolveModuleEntry(const QString& name, const char* symbol,
                                    const QStringList& folders, QStringList* reasons) {
    for (const QString& folder : folders) {
        QLibrary module(folder + QStringLiteral("/") + name);
        if (!module.load()) {
            if (reasons != nullptr) *reasons << module.errorString();
            continue;
        }
        if (const QString refusal = refusalOf(module); !refusal.isEmpty()) {
            qWarning("lumo: %s", qUtf8Printable(refusal));
            if (reasons != nullptr) *reasons << refusal;
            continue;
        }
        if (const QFunctionPointer entry = module.resolve(symbol)) return entry;
        if (reasons != nullptr) *reasons << module.errorString();
    }
    return nullptr;
}

}  // namespace lumo
