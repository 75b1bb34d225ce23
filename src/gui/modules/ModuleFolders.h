#pragma once

#include <QStringList>

namespace lumo {

// The folders the window's modules (lumo_alert_sound, lumo_desktop_notify, lumo_page_fetch,
// lumo_plan_suggest) are looked for in, in order: the program's own folder (a build, a portable
// copy), then the installed module folder relative to it (bin/../lib/.../lumo). Needs the
// application object.
QStringList moduleFolders();

// The entry point `symbol` of the module `name` from the first of `folders` that holds it, or
// null; then `reasons`, when given, holds each folder's reason. The module stays loaded.
//
// A module is used only when it was built with this program: its function lumoModuleStamp()
// returns the same Lumo version and module interface. Any other module (a stale copy from an
// older build, which would crash the program when called) is refused with a warning line naming
// the file and both builds, and the search goes on in the next folder. Its entry point is never
// called.
QFunctionPointer resolveModuleEntry(const QString& name, const char* symbol,
                                    const QStringList& folders, QStringList* reasons = nullptr);

}  // namespace lumo
