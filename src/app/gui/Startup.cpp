#include "app/gui/Startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <cstdio>

#include "app/gui/LumoApplication.h"
#include "store/InstallLayout.h"

namespace lumo {
namespace {

struct DatabaseChoice {
    QString path;
    bool offerToCreate = false;
    bool valid = true;
};

// --db, then LUMO_DB, then the layout's default.
DatabaseChoice chooseDatabase(const QStringList& arguments, const QString& programDir) {
    DatabaseChoice choice;
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--db")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                choice.valid = false;
                return choice;
            }
            choice.path = arguments[++i];
        } else if (arguments[i].startsWith(QLatin1String("--db="))) {
            choice.path = arguments[i].mid(5);
            if (choice.path.isEmpty()) choice.valid = false;
        }
    }
    if (choice.path.isEmpty()) choice.path = qEnvironmentVariable("LUMO_DB");
    if (!choice.path.isEmpty()) {
        choice.path = QFileInfo(choice.path).absoluteFilePath();
        return choice;
    }
    const std::filesystem::path program(QFile::encodeName(programDir).toStdString());
    if (InstallLayout::kindOf(program) == InstallLayout::Kind::Installed) {
        const std::string path = InstallLayout::defaultDatabasePath(program).string();
        choice.path = QFile::decodeName(QByteArray::fromStdString(path));
        choice.offerToCreate = !path.empty();
    }
    return choice;
}

}  // namespace

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
    const QString programDir = QApplication::applicationDirPath();
    const DatabaseChoice database = chooseDatabase(QApplication::arguments(), programDir);
    if (!database.valid) {
        std::fprintf(stderr, "lumo: --db needs the path of a database file\n");
        return 2;
    }
    LumoApplication::Options options{programDir, nullptr};
    options.databasePath = database.path;
    options.offerToCreateDatabase = database.offerToCreate;
    LumoApplication lumo(std::move(options));
    lumo.start();
    const int code = application.exec();
    lumo.shutdownApplication();
    return code;
}

}  // namespace lumo
