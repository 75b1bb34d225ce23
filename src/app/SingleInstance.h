#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace lumo {

// One window per database. The first `lumo` on a lumo.sdb takes a lock named after the file's
// canonical path and listens on a local socket of that name; a later one on the same file finds
// the lock held, asks the first to show its window and learns that it did. A lumo on another
// file gets other names and runs on its own.
//
// A program that was killed leaves its lock and socket behind: the lock is found stale (its
// process is gone) and the socket is removed before listening again.
//
// Window thread only. The asking side waits, bounded, before any window exists.
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

    explicit SingleInstance(const QString& databasePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    Role claim();

    // The name of the lock and the socket for a database path: the same for every spelling of
    // one file (links and "..", resolved), different for another file.
    static QString keyOf(const QString& databasePath);

signals:
    // A later program on the same database asked for the window.
    void showRequested();

private:
    void listen();
    bool askFirstToShow();
    void answer(QLocalSocket* socket);

    QString key_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace lumo
