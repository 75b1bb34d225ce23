#include "gui/adapters/QtTimers.h"

#include <QTimer>
#include <limits>

namespace lumo {

QtTimers::QtTimers(QObject* parent) : QObject(parent) {}

QtTimers::~QtTimers() {
    for (auto& [id, timer] : pending_) delete timer;
}

Timers::Id QtTimers::startOnce(std::int64_t milliseconds, std::function<void()> fire) {
    constexpr std::int64_t kLongest = std::numeric_limits<int>::max();
    const int wait = static_cast<int>(std::clamp<std::int64_t>(milliseconds, 0, kLongest));
    const Id id = nextId_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, fire = std::move(fire)] {
        auto it = pending_.find(id);
        if (it == pending_.end()) return;
        it->second->deleteLater();
        pending_.erase(it);
        fire();
    });
    pending_.emplace(id, timer);
    timer->start(wait);
    return id;
}

void QtTimers::cancel(Id id) {
    auto it = pending_.find(id);
    if (it == pending_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    pending_.erase(it);
}

}  // namespace lumo
