#include "gui/adapters/QtLinkOpener.h"

#include <QDesktopServices>

#include "articles/WebLink.h"
#include "gui/adapters/UiText.h"

namespace lumo {

QUrl QtLinkOpener::webUrlOf(const Text& url) {
    const std::optional<Text> link = webLinkToOpen(url);
    if (!link) return QUrl();
    QUrl address(qtText(*link), QUrl::TolerantMode);
    const QString scheme = address.scheme().toLower();
    if (!address.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        address.host().isEmpty()) {
        return QUrl();
    }
    return address;
}

void QtLinkOpener::openLink(const Text& url) {
    const QUrl address = webUrlOf(url);
    if (address.isValid()) QDesktopServices::openUrl(address);
}

}  // namespace lumo
