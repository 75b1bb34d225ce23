#include "gui/plans/HelpPage.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumo {
namespace {
const char* const kResource = ":/html/help.html";
}  // namespace

HelpPage::HelpPage() : HelpPage([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

HelpPage::HelpPage(Opener opener) : opener_(std::move(opener)) {}

QString HelpPage::filePath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("lumo-pattern-help.html"));
}

bool HelpPage::open() {
    QFile page(QString::fromLatin1(kResource));
    if (!page.open(QIODevice::ReadOnly)) return false;
    const QByteArray content = page.readAll();

    const QString path = filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written anew each time, so the page always matches the program that opens it.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        return false;
    }
    return opener_(QUrl::fromLocalFile(path));
}

}  // namespace lumo
