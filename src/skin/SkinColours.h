#pragma once

#include <cstdint>

#include "base/Text.h"

namespace lumo {

// Colour shifts of a skin: hue, saturation and brightness moved by the amounts the skin's
// attach call carries.
//
// - hue: degrees added to every colour's hue, -180 to 180 (other values are taken modulo 360);
// - saturation: percent, -100 to 100 (clamped): each colour's saturation is scaled by
//   (100 + saturation) %, so -100 turns every colour grey and 100 doubles its colourfulness;
// - brightness: percent, -100 to 100 (clamped): each colour's lightness moves that far towards
//   white (positive) or black (negative); 100 is white, -100 black.
//
// Shifts work in HSL. Greys have no hue and stay grey under hue and saturation shifts.
// Pure functions; any thread.
struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

struct ColourShift {
    int hue = 0;
    int saturation = 0;
    int brightness = 0;

    bool isNone() const;
};

// `colour` with `shift` applied; the colour itself when the shift is none.
RgbColour shiftColour(RgbColour colour, const ColourShift& shift);

// `sheet`, a style sheet, with every colour written in hex (#rgb, #rrggbb, or #aarrggbb with the
// alpha first) inside a declaration block shifted by `shift`; shifted colours are written as
// lower-case #rrggbb or #aarrggbb. Selectors (where "#name" names an object), comments and
// quoted strings are left alone, and so is every other byte, so UTF-8 and GBK text pass
// unchanged. A shift of none returns `sheet` unchanged.
Text shiftSheetColours(const Text& sheet, const ColourShift& shift);

}  // namespace lumo
