#include "app/SingleInstance.h"

#include <unistd.h>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace lumo {
namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownAnswer = "shown\n";

// The folder for the lock: the user's runtime folder, else the temporary folder.
QString lockFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

SingleInstance::SingleInstance(const QString& databasePath, QObject* parent)
    : QObject(parent), key_(keyOf(databasePath)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    });
}

SingleInstance::~SingleInstance() {
    server_.close();
}

QString SingleInstance::keyOf(const QString& databasePath) {
    const QFileInfo file(databasePath);
    QString canonical = file.canonicalFilePath();
    if (canonical.isEmpty()) canonical = QDir::cleanPath(file.absoluteFilePath());
    const QByteArray digest =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    // Per user: another user's Lumo on a shared file is no business of ours.
    return QStringLiteral("lumo-%1-%2").arg(getuid()).arg(QString::fromLatin1(digest));
}

SingleInstance::Role SingleInstance::claim() {
    lock_ = std::make_unique<QLockFile>(lockFolder() + QLatin1Char('/') + key_ + ".lock");
    // Held for the program's life; only a dead holder makes it stale.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        listen();
        return Role::First;
    }
    return askFirstToShow() ? Role::Shown : Role::NoAnswer;
}

void SingleInstance::listen() {
    // A socket left by a program that was killed answers nobody: it goes.
    QLocalServer::removeServer(key_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(key_);
}

void SingleInstance::answer(QLocalSocket* socket) {
    // A request is one short line; anything longer is not ours.
    if (socket->bytesAvailable() > 64) {
        socket->abort();
        return;
    }
    if (!socket->canReadLine()) return;
    if (socket->readLine(64) == kShowRequest) {
        emit showRequested();
        socket->write(kShownAnswer);
        socket->flush();
    }
    socket->disconnectFromServer();
}

bool SingleInstance::askFirstToShow() {
    // The first program may still be starting: tried again until the deadline.
    const QDeadlineTimer deadline(kAskTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(key_);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            socket.write(kShowRequest);
            if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) continue;
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            }
            if (socket.canReadLine() && socket.readLine(64) == kShownAnswer) return true;
        }
        QThread::msleep(50);
    }
    return false;
}

}  // namespace lumo
