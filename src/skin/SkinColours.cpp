#include "skin/SkinColours.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace lumo {
namespace {

struct Hsl {
    double hue = 0;         // degrees, 0 <= hue < 360
    double saturation = 0;  // 0 .. 1
    double lightness = 0;   // 0 .. 1
};

Hsl toHsl(RgbColour colour) {
    const double r = colour.red / 255.0;
    const double g = colour.green / 255.0;
    const double b = colour.blue / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    Hsl hsl;
    hsl.lightness = (high + low) / 2;
    const double chroma = high - low;
    if (chroma <= 0) return hsl;  // a grey: no hue, no saturation
    hsl.saturation = chroma / (1 - std::fabs(2 * hsl.lightness - 1));
    double hue = 0;
    if (high == r) {
        hue = std::fmod((g - b) / chroma, 6.0);
    } else if (high == g) {
        hue = (b - r) / chroma + 2;
    } else {
        hue = (r - g) / chroma + 4;
    }
    hue *= 60;
    if (hue < 0) hue += 360;
    hsl.hue = hue;
    return hsl;
}

std::uint8_t channel(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

RgbColour fromHsl(const Hsl& hsl) {
    const double chroma = (1 - std::fabs(2 * hsl.lightness - 1)) * hsl.saturation;
    const double sector = hsl.hue / 60;
    const double second = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (sector < 1) {
        r = chroma, g = second;
    } else if (sector < 2) {
        r = second, g = chroma;
    } else if (sector < 3) {
        g = chroma, b = second;
    } else if (sector < 4) {
        g = second, b = chroma;
    } else if (sector < 5) {
        r = second, b = chroma;
    } else {
        r = chroma, b = second;
    }
    const double m = hsl.lightness - chroma / 2;
    return RgbColour{channel(r + m), channel(g + m), channel(b + m)};
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A byte that continues a name: after "#abc" such a byte means it is no colour.
bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) != 0 || c == '_' || c == '-';
}

int byteAt(const Text& hex, std::size_t i) {
    return hexValue(hex[i]) * 16 + hexValue(hex[i + 1]);
}

void appendHexByte(Text& out, int value) {
    static const char kDigits[] = "0123456789abcdef";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

// The shifted form of the hex digits `hex` (3, 6 or 8 of them), with its leading '#'.
Text shiftedHex(const Text& hex, const ColourShift& shift) {
    int alpha = -1;
    RgbColour colour;
    if (hex.size() == 3) {
        colour = RgbColour{static_cast<std::uint8_t>(hexValue(hex[0]) * 17),
                           static_cast<std::uint8_t>(hexValue(hex[1]) * 17),
                           static_cast<std::uint8_t>(hexValue(hex[2]) * 17)};
    } else {
        const std::size_t first = hex.size() == 8 ? 2 : 0;
        if (hex.size() == 8) alpha = byteAt(hex, 0);
        colour = RgbColour{static_cast<std::uint8_t>(byteAt(hex, first)),
                           static_cast<std::uint8_t>(byteAt(hex, first + 2)),
                           static_cast<std::uint8_t>(byteAt(hex, first + 4))};
    }
    const RgbColour shifted = shiftColour(colour, shift);
    Text out = "#";
    if (alpha >= 0) appendHexByte(out, alpha);
    appendHexByte(out, shifted.red);
    appendHexByte(out, shifted.green);
    appendHexByte(out, shifted.blue);
    return out;
}

}  // namespace

bool ColourShift::isNone() const {
    return hue % 360 == 0 && saturation == 0 && brightness == 0;
}

RgbColour shiftColour(RgbColour colour, const ColourShift& shift) {
    if (shift.isNone()) return colour;
    Hsl hsl = toHsl(colour);
    if (hsl.saturation > 0) {
        hsl.hue = std::fmod(hsl.hue + shift.hue % 360 + 360, 360.0);
        const int saturation = std::clamp(shift.saturation, -100, 100);
        hsl.saturation = std::min(1.0, hsl.saturation * (100 + saturation) / 100.0);
    }
    const int brightness = std::clamp(shift.brightness, -100, 100);
    if (brightness > 0) {
        hsl.lightness += (1 - hsl.lightness) * brightness / 100.0;
    } else if (brightness < 0) {
        hsl.lightness *= (100 + brightness) / 100.0;
    }
    return fromHsl(hsl);
}

Text shiftSheetColours(const Text& sheet, const ColourShift& shift) {
    if (shift.isNone()) return sheet;
    Text out;
    out.reserve(sheet.size());
    int depth = 0;
    std::size_t i = 0;
    const std::size_t n = sheet.size();
    while (i < n) {
        const char c = sheet[i];
        if (c == '/' && i + 1 < n && sheet[i + 1] == '*') {
            const std::size_t end = sheet.find("*/", i + 2);
            const std::size_t stop = end == Text::npos ? n : end + 2;
            out.append(sheet, i, stop - i);
            i = stop;
        } else if (c == '"' || c == '\'') {
            std::size_t j = i + 1;
            while (j < n && sheet[j] != c) j += (sheet[j] == '\\' && j + 1 < n) ? 2 : 1;
            const std::size_t stop = std::min(n, j + 1);
            out.append(sheet, i, stop - i);
            i = stop;
        } else if (c == '#' && depth > 0) {
            std::size_t j = i + 1;
            while (j < n && hexValue(sheet[j]) >= 0) ++j;
            const std::size_t digits = j - i - 1;
            const bool colour =
                (digits == 3 || digits == 6 || digits == 8) && (j == n || !isNameByte(sheet[j]));
            if (colour) {
                out += shiftedHex(sheet.substr(i + 1, digits), shift);
            } else {
                out.append(sheet, i, j - i);
            }
            i = j;
        } else {
            if (c == '{') ++depth;
            if (c == '}' && depth > 0) --depth;
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace lumo
