#include "gui/monitor/AlertSound.h"

#include "gui/modules/ModuleFolders.h"

namespace lumo {
namespace {

// The sound effect from the lumo_alert_sound module, beside the program (a build) or in the
// installed module folder; null when the module is missing or there is no audio output. The
// module stays loaded for the program's lifetime.
QObject* createAlertEffect(QObject* parent) {
    using Create = QObject* (*)(QObject*);
    const auto create = reinterpret_cast<Create>(resolveModuleEntry(
        QStringLiteral("lumo_alert_sound"), "lumoCreateAlertSound", moduleFolders()));
    return create != nullptr ? create(parent) : nullptr;
}

}  // namespace

AlertSound::AlertSound(QObject* parent) : QObject(parent) {}

void AlertSound::play() {
    ++playRequests_;
    if (noDevice_) return;
    if (effect_ == nullptr) {
        // Loaded at the first alert, so a start-up neither waits on the audio system nor keeps
        // its libraries in memory.
        effect_ = createAlertEffect(this);
        if (effect_ == nullptr) {
            noDevice_ = true;
            return;
        }
    }
    // A sound still loading starts as soon as it is ready; a device that fails stays silent.
    QMetaObject::invokeMethod(effect_, "stop");
    QMetaObject::invokeMethod(effect_, "play");
}

}  // namespace lumo
