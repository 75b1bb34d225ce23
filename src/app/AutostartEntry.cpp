#include "app/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace lumo {

AutostartEntry::AutostartEntry(QString configHome) : configHome_(std::move(configHome)) {
    if (configHome_.isEmpty()) {
        configHome_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
}

QString AutostartEntry::path() const {
    return configHome_ + QStringLiteral("/autostart/org.lumo.Lumo.desktop");
}

bool AutostartEntry::exists() const {
    return QFile::exists(path());
}

QString AutostartEntry::execArgument(const QString& argument) {
    static const QString kReserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument) quote = quote || kReserved.contains(c);
    QString out;
    for (const QChar c : argument) {
        // Inside quotes ", `, $ and \ take a backslash; the key file doubles every backslash.
        // (A backslash always makes the argument quoted.)
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += QStringLiteral("\\\\");
        if (c == '\\') {
            out += QStringLiteral("\\\\");
        } else {
            out += c == '%' ? QStringLiteral("%%") : QString(c);
        }
    }
    return quote ? QLatin1Char('"') + out + QLatin1Char('"') : out;
}

QString AutostartEntry::entryText(const QStringList& command) {
    QStringList exec;
    for (const QString& argument : command) {
        for (const QChar c : argument) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) return {};
        }
        exec.push_back(execArgument(argument));
    }
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Lumo\n"
               "Comment=Start Lumo hidden in the tray and monitor the ticked plans\n"
               "Comment[zh_CN]=登录时启动鲁莫监控，隐藏在托盘中并监控勾选的方案\n"
               "Exec=%1\n"
               "Icon=org.lumo.Lumo\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(exec.join(QLatin1Char(' ')));
}

namespace {

Status entryFailure(Status::Kind kind, const QString& reason) {
    return Status::failure(kind, reason.toStdString());
}

}  // namespace

Status AutostartEntry::write(const QStringList& command) const {
    const QString text = entryText(command);
    if (text.isEmpty()) {
        return entryFailure(Status::Kind::Refused,
                            QStringLiteral("the program's path cannot be written in an entry"));
    }
    if (!QDir().mkpath(configHome_ + QStringLiteral("/autostart"))) {
        return entryFailure(Status::Kind::Failed, QStringLiteral("cannot make the folder ") +
                                                      configHome_ + QStringLiteral("/autostart"));
    }
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly)) {
        return entryFailure(Status::Kind::Failed, file.errorString());
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return entryFailure(Status::Kind::Failed, file.errorString());
    }
    return Status();
}

Status AutostartEntry::remove() const {
    QFile file(path());
    if (!file.exists() || file.remove()) return Status();
    return entryFailure(Status::Kind::Failed, file.errorString());
}

}  // namespace lumo
