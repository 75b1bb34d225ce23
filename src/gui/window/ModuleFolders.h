#pragma once

#include <QStringList>

namespace lumo {

// The folders the window's modules (lumo_alert_sound, lumo_page_fetch) are looked for in, in
// order: the program's own folder (a build, a portable copy), then the installed module folder
// relative to it (bin/../lib/.../lumo). Needs the application object.
QStringList moduleFolders();

}  // namespace lumo
