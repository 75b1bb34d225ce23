#include "skin/SkinBinding.h"

#include <cstdint>
#include <limits>

#include "skin/SkinApplier.h"
#include "skin/SkinEngineCaller.h"
#include "winmodule/ModuleImageLoader.h"

namespace lumo {

SkinBinding::SkinBinding(const ModuleImageLoader& skinEngine, SkinEngineCaller& engineCaller,
                         SkinApplier& ownSkin)
    : skinEngine_(skinEngine), engineCaller_(engineCaller), ownSkin_(ownSkin) {}

SkinBinding::Outcome SkinBinding::attach(const Bytes& skin, const std::optional<Text>& password,
                                         int hue, int saturation, int brightness) {
    const std::uintptr_t attachFunction = skinEngine_.findExport(kAttachFunctionName);
    // The engine takes the length as a 32-bit value; a larger skin cannot be handed to it.
    const bool fitsEngine = skin.size() <= std::numeric_limits<std::int32_t>::max();
    if (attachFunction != 0 && fitsEngine) {
        SkinEngineCaller::AttachArguments arguments;
        arguments.skin = skin.data();
        arguments.skinLength = static_cast<std::uint32_t>(skin.size());
        arguments.password = password ? password->c_str() : nullptr;
        arguments.hue = hue;
        arguments.saturation = saturation;
        arguments.brightness = brightness;
        std::int32_t ignored = 0;
        if (engineCaller_.callAttach(attachFunction, arguments, ignored)) return Outcome::Engine;
    }
    ownSkin_.applySkin(skin, password, hue, saturation, brightness);
    return Outcome::OwnSkin;
}

}  // namespace lumo
