// The desktop notifications over D-Bus, built as a module of their own (lumo_desktop_notify) that
// the window's ModuleDesktopNotifier loads at the first notification. The program itself does
// not link Qt D-Bus, so it and libdbus stay out of memory until a notification is wanted.
#include <QDBusConnection>

#include "gui/notify/DBusDesktopNotifier.h"

// The build this module comes from; the window uses no module of another (ModuleFolders).
extern "C" Q_DECL_EXPORT const char* lumoModuleStamp() {
    return LUMO_MODULE_STAMP;
}

// A new notifier on the session bus, which it connects to at its first notification; the caller
// owns it. `openLink` opens an article's web link, `showWindow` shows the window. Window thread
// only.
extern "C" Q_DECL_EXPORT lumo::DesktopNotifier* lumoCreateDesktopNotifier(
    const std::function<void(const lumo::Text&)>& openLink,
    const std::function<void()>& showWindow) {
    return new lumo::DBusDesktopNotifier([] { return QDBusConnection::sessionBus(); },
                                         lumo::DBusDesktopNotifier::Actions{openLink, showWindow});
}
