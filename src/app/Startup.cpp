#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include "app/LumoApplication.h"

namespace lumo {

int runLumo(QApplication& application) {
    // A CJK-capable dialog font at the size the fixed layout was drawn for.
    const QStringList families = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("WenQuanYi Micro Hei"),
                                  QStringLiteral("Noto Sans CJK SC"), QStringLiteral("SimSun")}) {
        if (families.contains(family)) {
            application.setFont(QFont(family, 9));
            break;
        }
    }
    LumoApplication lumo({QApplication::applicationDirPath(), nullptr});
    lumo.start();
    const int code = application.exec();
    lumo.shutdownApplication();
    return code;
}

}  // namespace lumo
