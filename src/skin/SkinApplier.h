#pragma once

#include <optional>

#include "base/Text.h"

namespace lumo {

// Gives the program's windows the look of a skin, by a means of the program's own (used when no
// skin engine is at hand). It takes what the skin engine's attach function takes: the skin data,
// an optional password and shifts of hue, saturation and brightness.
//
// Ranges: hue in degrees, -180 to 180 (other values are taken modulo 360); saturation and
// brightness in percent, -100 to 100 (values outside are clamped). All 0: the skin as it is.
//
// Window thread only.
class SkinApplier {
public:
    virtual ~SkinApplier() = default;

    virtual void applySkin(const Bytes& skin, const std::optional<Text>& password, int hue,
                           int saturation, int brightness) = 0;
};

}  // namespace lumo
