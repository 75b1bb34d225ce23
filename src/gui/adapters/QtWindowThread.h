#pragma once

#include <QObject>

#include "base/WindowThread.h"

namespace lumo {

// Queues work onto the thread this object lives on (the window thread).
// post() is callable from any thread; work runs in order of posting. Work still queued when the
// object is destroyed is dropped.
class QtWindowThread : public QObject, public WindowThread {
    Q_OBJECT
public:
    explicit QtWindowThread(QObject* parent = nullptr);
    void post(std::function<void()> work) override;
};

}  // namespace lumo
