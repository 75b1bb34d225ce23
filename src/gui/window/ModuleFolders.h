#pragma once

#include <QStringList>

namespace lumo {

// The folders the window's modules (lumo_alert_sound, lumo_page_fetch) are looked for in, in
// order: the program's own folder (a build, a portable copy), then the installed module folder
// relative to it (bin/../lib/.../lumo). Needs the application object.
QStringList moduleFolders();

// The entry point `symbol` of the module `name` from the first of `folders` that holds it, or
// null; then `reasons`, when given, holds each folder's reason. The module stays loaded.
QFunctionPointer resolveModuleEntry(const QString& name, const char* symbol,
                                    const QStringList& folders, QStringList* reasons = nullptr);

}  // namespace lumo
