#pragma once

#include <QString>
#include <QStringList>

#include "base/Status.h"

namespace lumo {

// The XDG autostart entry that starts Lumo with the desktop session, hidden in the tray and
// monitoring: $XDG_CONFIG_HOME/autostart/org.lumo.Lumo.desktop (~/.config when the variable is
// not set).
//
// Window thread only (it reads and writes one small file).
class AutostartEntry {
public:
    // `configHome`: where autostart/ lies; the user's configuration folder when empty.
    explicit AutostartEntry(QString configHome = {});

    QString path() const;
    bool exists() const;

    // Writes the entry that runs `command` (the program, then its arguments), replacing any
    // earlier one at once, never leaving half a file. A failure says why in English (UTF-8).
    Status write(const QStringList& command) const;

    // Removes the entry; an entry that is not there is fine. A failure says why (UTF-8).
    Status remove() const;

    // The entry's text for `command`; empty when an argument cannot be written in an Exec line
    // (a control character).
    static QString entryText(const QStringList& command);

    // One argument as the Exec key wants it: quoted when it holds a reserved character, with
    // the key file's own escapes on top.
    static QString execArgument(const QString& argument);

private:
    QString configHome_;
};

}  // namespace lumo
