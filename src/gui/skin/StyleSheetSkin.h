#pragma once

#include <QString>

#include "skin/SkinApplier.h"

class QApplication;

namespace lumo {

// The program's own skin: the skin data is a Qt style sheet (UTF-8), which is given the colour
// shifts and set on the whole application, so every window, menu and message box takes the look.
//
// The sheets of this program are plain text; a password is accepted and not needed. Empty skin
// data leaves the application's look as it is.
//
// Window thread only.
class StyleSheetSkin final : public SkinApplier {
public:
    explicit StyleSheetSkin(QApplication& application);

    void applySkin(const Bytes& skin, const std::optional<Text>& password, int hue, int saturation,
                   int brightness) override;

    // The sheet that applySkin() sets for these inputs.
    static QString styleSheetOf(const Bytes& skin, int hue, int saturation, int brightness);

private:
    QApplication& application_;
};

}  // namespace lumo
