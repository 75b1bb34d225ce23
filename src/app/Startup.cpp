#include "app/Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/LumoApplication.h"
#include "app/SingleInstance.h"
#include "store/DatabaseLocation.h"
#include "store/InstallLayout.h"

namespace lumo {
namespace {

struct DatabaseChoice {
    QString path;
    bool offerToCreate = false;
    bool valid = true;
};

// --db PATH (or --db=PATH), then LUMO_DB, then the layout's default (DatabaseLocation).
DatabaseChoice chooseDatabase(const QStringList& arguments, const QString& programDir,
                              const std::filesystem::path& installedProgramDir) {
    DatabaseChoice choice;
    std::optional<std::string> named;
    for (int i = 1; i < arguments.size(); ++i) {
        QString value;
        if (arguments[i] == QLatin1String("--db")) {
            value = i + 1 < arguments.size() ? arguments[++i] : QString();
        } else if (arguments[i].startsWith(QLatin1String("--db="))) {
            value = arguments[i].mid(5);
        } else {
            continue;
        }
        if (value.isEmpty()) choice.valid = false;
        named = QFile::encodeName(QFileInfo(value).absoluteFilePath()).toStdString();
    }
    const std::string program = QFile::encodeName(programDir).toStdString();
    const char* environment = std::getenv(DatabaseLocation::kEnvironmentVariable);
    const bool fromUser = named || (environment != nullptr && *environment != '\0');
    const std::string path =
        DatabaseLocation::resolve(named, environment, program, installedProgramDir);
    choice.path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath();
    // Only the installed layout's own default may be created, and only when the user says so.
    choice.offerToCreate =
        !fromUser && !path.empty() &&
        InstallLayout::kindOf(program, installedProgramDir) == InstallLayout::Kind::Installed;
    return choice;
}

// --tray, and --every SECONDS (or --every=SECONDS): at least 60, as the rounds accept.
struct TrayChoice {
    bool startInTray = false;
    QString frequency;
    bool valid = true;
};

TrayChoice chooseTrayStart(const QStringList& arguments) {
    TrayChoice choice;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--tray")) {
            choice.startInTray = true;
            continue;
        }
        QString value;
        if (arguments[i] == QLatin1String("--every")) {
            value = i + 1 < arguments.size() ? arguments[++i] : QString();
        } else if (arguments[i].startsWith(QLatin1String("--every="))) {
            value = arguments[i].mid(8);
        } else {
            continue;
        }
        bool number = false;
        const int seconds = value.toInt(&number);
        choice.valid = choice.valid && number && seconds >= 60;
        choice.frequency = QString::number(seconds);
    }
    return choice;
}

}  // namespace

int runLumo(QApplication& application, const std::filesystem::path& installedProgramDir) {
    // A CJK-capable dialog font at the size the fixed layout was drawn for.
    const QStringList families = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("WenQuanYi Micro Hei"),
                                  QStringLiteral("Noto Sans CJK SC"), QStringLiteral("SimSun")}) {
        if (families.contains(family)) {
            application.setFont(QFont(family, 9));
            break;
        }
    }
    const QString programDir = QApplication::applicationDirPath();
    const DatabaseChoice database =
        chooseDatabase(QApplication::arguments(), programDir, installedProgramDir);
    if (!database.valid) {
        std::fprintf(stderr, "lumo: --db needs the path of a database file\n");
        return 2;
    }
    const TrayChoice tray = chooseTrayStart(QApplication::arguments());
    if (!tray.valid) {
        std::fprintf(stderr, "lumo: --every needs a whole number of seconds, at least 60\n");
        return 2;
    }
    // One window per database: a second start shows the first window and ends.
    SingleInstance instance(database.path);
    switch (instance.claim()) {
        case SingleInstance::Role::First:
            break;
        case SingleInstance::Role::Shown:
            return 0;
        case SingleInstance::Role::NoAnswer:
            std::fprintf(stderr, "lumo: another Lumo has %s open but does not answer\n",
                         QFile::encodeName(database.path).constData());
            return 1;
    }
    LumoApplication::Options options{programDir, nullptr};
    options.databasePath = database.path;
    options.offerToCreateDatabase = database.offerToCreate;
    options.startInTray = tray.startInTray;
    options.frequency = tray.frequency;
    LumoApplication lumo(std::move(options));
    QObject::connect(&instance, &SingleInstance::showRequested, &lumo,
                     [&lumo] { lumo.showWindow(); });
    lumo.start();
    const int code = application.exec();
    lumo.shutdownApplication();
    return code;
}

}  // namespace lumo
