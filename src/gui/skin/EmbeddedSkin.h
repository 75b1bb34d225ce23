#pragma once

#include "base/Text.h"

namespace lumo {

// The skin assets the program carries.
//
// The skin data is the program's own style sheet (":/skin/lumo.qss"). The program carries no
// skin engine: its engine image is empty, so loading it fails cleanly, the engine's attach
// function is not found, and the program's own skin draws the windows.
//
// Window thread only (reads the application's resources).
Bytes embeddedSkinData();
Bytes embeddedSkinEngineImage();

}  // namespace lumo
