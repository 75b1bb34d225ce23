#pragma once

#include <QObject>
#include <map>

#include "base/Timers.h"

class QTimer;

namespace lumo {

// One-shot timers on Qt's event loop. Waits longer than a 32-bit millisecond count are clamped to
// the longest one that fits. Window thread only.
class QtTimers : public QObject, public Timers {
    Q_OBJECT
public:
    explicit QtTimers(QObject* parent = nullptr);
    ~QtTimers() override;

    Id startOnce(std::int64_t milliseconds, std::function<void()> fire) override;
    void cancel(Id id) override;

private:
    Id nextId_ = 1;
    std::map<Id, QTimer*> pending_;
};

}  // namespace lumo
