#include "gui/skin/EmbeddedSkin.h"

#include <QFile>

namespace lumo {

Bytes embeddedSkinData() {
    QFile file(QStringLiteral(":/skin/lumo.qss"));
    if (!file.open(QIODevice::ReadOnly)) return Bytes();
    const QByteArray data = file.readAll();
    return Bytes(data.constData(), static_cast<std::size_t>(data.size()));
}

Bytes embeddedSkinEngineImage() {
    return Bytes();
}

}  // namespace lumo
