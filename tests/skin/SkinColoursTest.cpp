#include "skin/SkinColours.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace lumo {
namespace {

RgbColour rgb(int r, int g, int b) {
    return RgbColour{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                     static_cast<std::uint8_t>(b)};
}

std::size_t occurrences(const Text& text, const Text& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != Text::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

Text readShippedSheet() {
    std::ifstream in(std::string(LUMO_SOURCE_DIR) + "/assets/skin/lumo.qss", std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(SkinColoursTest, NoShiftKeepsEveryColour) {
    for (const RgbColour colour :
         {rgb(0, 0, 0), rgb(255, 255, 255), rgb(0x13, 0x80, 0x8d), rgb(1, 2, 3), rgb(250, 7, 99)}) {
        EXPECT_EQ(shiftColour(colour, ColourShift{}), colour);
        EXPECT_EQ(shiftColour(colour, ColourShift{360, 0, 0}), colour);
        EXPECT_EQ(shiftColour(colour, ColourShift{-720, 0, 0}), colour);
    }
}

TEST(SkinColoursTest, HueTurnsAroundTheColourWheel) {
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {120, 0, 0}), rgb(0, 255, 0));
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {-120, 0, 0}), rgb(0, 0, 255));
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {180, 0, 0}), rgb(0, 255, 255));
    // Values past a full turn are taken modulo 360.
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {480, 0, 0}), rgb(0, 255, 0));
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {-240, 0, 0}), rgb(0, 255, 0));
    // The teal accent turns to a warm red half way round, keeping its lightness.
    const RgbColour turned = shiftColour(rgb(0x13, 0x80, 0x8d), {180, 0, 0});
    EXPECT_GT(turned.red, turned.green);
    EXPECT_GT(turned.red, turned.blue);
    EXPECT_EQ(turned.red + std::min(turned.green, turned.blue), 0x13 + 0x8d);
}

TEST(SkinColoursTest, GreysStayGreyUnderHueAndSaturation) {
    for (const RgbColour grey : {rgb(0, 0, 0), rgb(0x80, 0x80, 0x80), rgb(0xee, 0xee, 0xee)}) {
        EXPECT_EQ(shiftColour(grey, {90, 0, 0}), grey);
        EXPECT_EQ(shiftColour(grey, {0, 100, 0}), grey);
        EXPECT_EQ(shiftColour(grey, {-45, -100, 0}), grey);
    }
}

TEST(SkinColoursTest, SaturationScalesColourfulness) {
    // -100 takes all colour out and keeps the lightness.
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {0, -100, 0}), rgb(128, 128, 128));
    // Half the saturation: half way to the grey of the same lightness.
    EXPECT_EQ(shiftColour(rgb(191, 64, 64), {0, -50, 0}), rgb(159, 96, 96));
    // +100 doubles it, and values beyond the range are clamped.
    EXPECT_EQ(shiftColour(rgb(160, 96, 96), {0, 100, 0}), rgb(192, 64, 64));
    EXPECT_EQ(shiftColour(rgb(160, 96, 96), {0, 400, 0}), rgb(192, 64, 64));
    EXPECT_EQ(shiftColour(rgb(255, 0, 0), {0, -300, 0}), rgb(128, 128, 128));
}

TEST(SkinColoursTest, BrightnessMovesTowardsWhiteOrBlack) {
    EXPECT_EQ(shiftColour(rgb(0x13, 0x80, 0x8d), {0, 0, 100}), rgb(255, 255, 255));
    EXPECT_EQ(shiftColour(rgb(0x13, 0x80, 0x8d), {0, 0, -100}), rgb(0, 0, 0));
    EXPECT_EQ(shiftColour(rgb(0, 0, 0), {0, 0, 50}), rgb(128, 128, 128));
    EXPECT_EQ(shiftColour(rgb(255, 255, 255), {0, 0, -50}), rgb(128, 128, 128));
    EXPECT_EQ(shiftColour(rgb(255, 255, 255), {0, 0, -500}), rgb(0, 0, 0));
}

TEST(SkinColoursTest, SheetColoursInRulesShiftAndTheirFormsStay) {
    const Text sheet =
        "QLabel { color: #ff0000; background: #F00; border: 1px solid #80ff0000; }\n"
        "QWidget { background-color: #808080; }\n";
    EXPECT_EQ(shiftSheetColours(sheet, {120, 0, 0}),
              "QLabel { color: #00ff00; background: #00ff00; border: 1px solid #8000ff00; }\n"
              "QWidget { background-color: #808080; }\n");
}

TEST(SkinColoursTest, SelectorsCommentsStringsAndOtherTokensStay) {
    const Text sheet =
        "/* accent #ff0000 */\n"
        "QLabel#abc, QPushButton#fed, QLineEdit#运行 { color: #abc; }\n"
        "QLabel { image: url(\"#ff0000\"); font-family: '#ff0000'; }\n"
        "QLabel { color: #12345; background: #abcdefg; border-color: #ff0000ff00; }\n"
        "QLabel { color: #f00/* #00f */; }";
    const Text shifted = shiftSheetColours(sheet, {180, 0, 0});
    EXPECT_EQ(shifted,
              "/* accent #ff0000 */\n"
              "QLabel#abc, QPushButton#fed, QLineEdit#运行 { color: #ccbbaa; }\n"
              "QLabel { image: url(\"#ff0000\"); font-family: '#ff0000'; }\n"
              "QLabel { color: #12345; background: #abcdefg; border-color: #ff0000ff00; }\n"
              "QLabel { color: #00ffff/* #00f */; }");
}

TEST(SkinColoursTest, UnfinishedSheetsPassWithoutReadingPastTheEnd) {
    EXPECT_EQ(shiftSheetColours("QLabel { color: #f00", {120, 0, 0}), "QLabel { color: #00ff00");
    EXPECT_EQ(shiftSheetColours("QLabel { color: #", {120, 0, 0}), "QLabel { color: #");
    EXPECT_EQ(shiftSheetColours("/* never closed #f00 {", {120, 0, 0}), "/* never closed #f00 {");
    EXPECT_EQ(shiftSheetColours("X { a: \"#f00", {120, 0, 0}), "X { a: \"#f00");
    EXPECT_EQ(shiftSheetColours("} } #f00 { color: #f00 }", {120, 0, 0}),
              "} } #f00 { color: #00ff00 }");
}

TEST(SkinColoursTest, ShippedSheetIsUnchangedAtZeroAndRecolouredByHue) {
    const Text sheet = readShippedSheet();
    ASSERT_GT(occurrences(sheet, "#13808d"), 5u);
    EXPECT_EQ(shiftSheetColours(sheet, {0, 0, 0}), sheet);

    const Text turned = shiftSheetColours(sheet, {-120, 0, 0});
    EXPECT_NE(turned, sheet);
    EXPECT_EQ(turned.size(), sheet.size());
    // Pure greys and white stay; selectors naming controls stay.
    EXPECT_NE(turned.find("#ffffff"), Text::npos);
    EXPECT_NE(turned.find("QPushButton#运行"), Text::npos);
    // Only the palette listed in the leading comment keeps the accent: it is documentation.
    EXPECT_EQ(occurrences(turned, "#13808d"), 1u);
    EXPECT_NE(turned.find("accent #13808d"), Text::npos);
}

}  // namespace
}  // namespace lumo
