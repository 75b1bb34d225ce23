#pragma once

#include "base/Text.h"

namespace lumo {

// The version of this build, as the build system's project names it ("1.1").
const char* lumoVersion();

// The program's name with that version, as the window's title and its about box show it.
Text lumoTitle();

}  // namespace lumo
