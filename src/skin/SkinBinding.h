#pragma once

#include <optional>

#include "base/Text.h"

namespace lumo {

class ModuleImageLoader;
class SkinApplier;
class SkinEngineCaller;

// Attaches the program's skin. When the skin engine image in `skinEngine` exports
// "SkinH_AttachRes", the skin is handed to that function (its result is not examined). When it
// does not (no image loaded, no such export, or an engine this system cannot run), the program's
// own skin applier takes the same inputs instead, so the windows never stay in a half-drawn or
// plain look by accident.
//
// Reports nothing: whether a skin took effect shows only on the screen.
//
// Window thread only. The objects passed in must outlive the binding.
class SkinBinding {
public:
    // What attach() did; for the log of a caller and for tests.
    enum class Outcome { Engine, OwnSkin };

    static constexpr const char* kAttachFunctionName = "SkinH_AttachRes";

    SkinBinding(const ModuleImageLoader& skinEngine, SkinEngineCaller& engineCaller,
                SkinApplier& ownSkin);

    // Attaches `skin`. `password`: none when absent (the engine then receives a null pointer).
    // `hue`, `saturation` and `brightness` shift the skin's colours; 0 leaves them as they are.
    Outcome attach(const Bytes& skin, const std::optional<Text>& password = std::nullopt,
                   int hue = 0, int saturation = 0, int brightness = 0);

private:
    const ModuleImageLoader& skinEngine_;
    SkinEngineCaller& engineCaller_;
    SkinApplier& ownSkin_;
};

}  // namespace lumo
