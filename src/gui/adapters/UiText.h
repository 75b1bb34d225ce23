#pragma once

#include <QString>

#include "base/Text.h"

// The one place where the program's GBK texts meet Qt's Unicode strings. Every widget text goes
// through these two functions.
namespace lumo {

// A GBK text as a QString (bytes that are not GBK show as U+FFFD).
QString qtText(const Text& text);

// A QString as a GBK text; what GBK cannot write becomes "?".
Text gbkText(const QString& text);

}  // namespace lumo
