#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace lumo {
namespace {

const QByteArray kShowRequest = "show\n";
const QByteArray kShownAnswer = "shown\n";
// A request or an answer is one short line; anything longer is not ours.
constexpr qsizetype kMaxLine = 64;

// The folder for the lock: the user's runtime folder, else the temporary folder.
QString lockFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// The socket address of `path`, or false when the path does not fit.
bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (encoded.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
}

int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

// Waits for `events` on `fd` until `deadline`; false when the time ran out or polling failed.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd watched{fd, events, 0};
    for (;;) {
        const int left = static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        const int ready = ::poll(&watched, 1, left);
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// One attempt to have the program listening at `address` show its window.
bool askOnce(const sockaddr_un& address, const QDeadlineTimer& deadline) {
    const int fd = newSocket();
    if (fd < 0) return false;
    bool shown = false;
    const auto* target = reinterpret_cast<const sockaddr*>(&address);
    bool connected = ::connect(fd, target, sizeof address) == 0;
    if (!connected && (errno == EAGAIN || errno == EINPROGRESS)) {
        int error = 0;
        socklen_t size = sizeof error;
        connected = waitFor(fd, POLLOUT, deadline) &&
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    if (connected && ::send(fd, kShowRequest.constData(), kShowRequest.size(), MSG_NOSIGNAL) ==
                         kShowRequest.size()) {
        QByteArray answer;
        char chunk[kMaxLine];
        while (!answer.contains('\n') && answer.size() <= kMaxLine &&
               waitFor(fd, POLLIN, deadline)) {
            const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
            if (got > 0) {
                answer.append(chunk, got);
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                break;
            }
        }
        shown = answer == kShownAnswer;
    }
    ::close(fd);
    return shown;
}

}  // namespace

// A later program that connected, until it has asked and been answered.
struct SingleInstance::Caller {
    explicit Caller(int socket)
        : fd(socket), notifier(new QSocketNotifier(socket, QSocketNotifier::Read)) {}
    ~Caller() {
        // Deleted later: a caller may be dropped from its own notifier's signal.
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(fd);
    }
    Caller(const Caller&) = delete;
    Caller& operator=(const Caller&) = delete;

    int fd;
    QSocketNotifier* notifier;
    QByteArray received;
};

SingleInstance::SingleInstance(const QString& databasePath, QObject* parent)
    : QObject(parent), key_(keyOf(databasePath)) {}

SingleInstance::~SingleInstance() {
    callers_.clear();
    if (listener_ >= 0) {
        listening_.reset();
        ::close(listener_);
        QFile::remove(socketPathOf(key_));
    }
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

QString SingleInstance::socketPathOf(const QString& key) {
    return QDir::tempPath() + QLatin1Char('/') + key;
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
    const QString path = socketPathOf(key_);
    sockaddr_un address;
    if (!addressOf(path, address)) return;
    // A socket left by a program that was killed answers nobody: it goes.
    ::unlink(address.sun_path);
    const int fd = newSocket();
    if (fd < 0) return;
    // Only this user may connect: the mode is set before anyone can.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return;
    }
    listener_ = fd;
    listening_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(listening_.get(), &QSocketNotifier::activated, this, [this] { acceptCallers(); });
}

void SingleInstance::acceptCallers() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        if (callers_.size() >= kMaxCallers) callers_.erase(callers_.begin());
        callers_.push_back(std::make_unique<Caller>(fd));
        Caller* caller = callers_.back().get();
        connect(caller->notifier, &QSocketNotifier::activated, this,
                [this, caller] { answer(*caller); });
    }
}

void SingleInstance::answer(Caller& caller) {
    char chunk[kMaxLine + 1];
    const ssize_t got = ::recv(caller.fd, chunk, sizeof chunk, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (got <= 0) {
        drop(caller);
        return;
    }
    caller.received.append(chunk, got);
    if (caller.received.size() > kMaxLine) {
        drop(caller);
        return;
    }
    const qsizetype end = caller.received.indexOf('\n');
    if (end < 0) return;
    if (caller.received.left(end + 1) == kShowRequest) {
        emit showRequested();
        ::send(caller.fd, kShownAnswer.constData(), kShownAnswer.size(), MSG_NOSIGNAL);
    }
    drop(caller);
}

void SingleInstance::drop(const Caller& caller) {
    std::erase_if(callers_, [&caller](const auto& each) { return each.get() == &caller; });
}

bool SingleInstance::askFirstToShow() const {
    sockaddr_un address;
    if (!addressOf(socketPathOf(key_), address)) return false;
    // The first program may still be starting: tried again until the deadline.
    const QDeadlineTimer deadline(kAskTimeoutMs);
    while (!deadline.hasExpired()) {
        if (askOnce(address, deadline)) return true;
        QThread::msleep(50);
    }
    return false;
}

}  // namespace lumo
