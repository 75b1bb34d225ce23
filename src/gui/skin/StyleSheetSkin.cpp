#include "gui/skin/StyleSheetSkin.h"

#include <QApplication>

#include "skin/SkinColours.h"

namespace lumo {

StyleSheetSkin::StyleSheetSkin(QApplication& application) : application_(application) {}

QString StyleSheetSkin::styleSheetOf(const Bytes& skin, int hue, int saturation, int brightness) {
    const Text sheet = shiftSheetColours(skin, ColourShift{hue, saturation, brightness});
    return QString::fromUtf8(sheet.data(), static_cast<qsizetype>(sheet.size()));
}

void StyleSheetSkin::applySkin(const Bytes& skin, const std::optional<Text>&, int hue,
                               int saturation, int brightness) {
    if (skin.empty()) return;
    application_.setStyleSheet(styleSheetOf(skin, hue, saturation, brightness));
}

}  // namespace lumo
