#include "gui/adapters/UiText.h"

#include "base/GbkCodec.h"

namespace lumo {

QString qtText(const Text& text) {
    const std::string utf8 = gbkToUtf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text gbkText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToGbk(Bytes(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace lumo
