#include "gui/monitor/AlertSound.h"

#include "gui/modules/ModuleFolders.h"

namespace lumo {
namespace {

using CreateEffect = QObject* (*)(QObject*);

// The module's function that makes the sound effect, from the lumo_alert_sound module beside the
// program (a build) or in the installed module folder; null when there is no such module. The
// module stays loaded for the program's lifetime.
CreateEffect alertEffectFactory() {
    return reinterpret_cast<CreateEffect>(resolveModuleEntry(
        QStringLiteral("lumo_alert_sound"), "lumoCreateAlertSound", moduleFolders()));
}

}  // namespace

AlertSound::AlertSound(QObject* parent) : QObject(parent) {}

void AlertSound::play() {
    ++playRequests_;
    if (output_ == Output::NotLoaded) {
        // Loaded at the first alert, so a start-up neither waits on the audio system nor keeps
        // its libraries in memory.
        const CreateEffect create = alertEffectFactory();
        if (create == nullptr) {
            output_ = Output::NoModule;
        } else {
            effect_ = create(this);  // null when the system has no audio output
            output_ = effect_ != nullptr ? Output::Loaded : Output::NoDevice;
        }
    }
    if (output_ != Output::Loaded) return;
    // A sound still loading starts as soon as it is ready; a device that fails stays silent.
    QMetaObject::invokeMethod(effect_, "stop");
    QMetaObject::invokeMethod(effect_, "play");
}

}  // namespace lumo
