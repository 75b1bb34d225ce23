#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace lumo {

// One window per database. The first `lumo` on a lumo.sdb takes a lock named after the file's
// canonical path and listens on a local (AF_UNIX) socket of that name in the temporary folder; a
// later one on the same file finds the lock held, asks the first to show its window and learns
// that it did. A lumo on another file gets other names and runs on its own.
//
// A program that was killed leaves its lock and socket behind: the lock is found stale (its
// process is gone) and the socket is removed before listening again.
//
// Plain POSIX sockets watched by QSocketNotifier, so the window does not load Qt Network for
// this. Window thread only. The asking side waits, bounded, before any window exists.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First,     // this program holds the database's lock and listens
        Shown,     // another program holds it and showed its window
        NoAnswer,  // another program holds it but did not answer in time
    };

    // How long a later program tries to reach the first one.
    static constexpr int kAskTimeoutMs = 3000;
    // Later programs being answered at once; beyond that the oldest is dropped.
    static constexpr std::size_t kMaxCallers = 8;

    explicit SingleInstance(const QString& databasePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    Role claim();

    // The name of the lock and the socket for a database path: the same for every spelling of
    // one file (links and "..", resolved), different for another file.
    static QString keyOf(const QString& databasePath);

    // The path of the socket the first program listens on for `key`.
    static QString socketPathOf(const QString& key);

signals:
    // A later program on the same database asked for the window.
    void showRequested();

private:
    struct Caller;

    void listen();
    void acceptCallers();
    void answer(Caller& caller);
    void drop(const Caller& caller);
    bool askFirstToShow() const;

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> listening_;
    std::vector<std::unique_ptr<Caller>> callers_;
};

}  // namespace lumo
