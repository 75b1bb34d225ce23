#include "gui/monitor/AlertSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace lumo {

AlertSound::AlertSound(QObject* parent) : QObject(parent) {}

void AlertSound::play() {
    ++playRequests_;
    if (noDevice_) return;
    if (effect_ == nullptr) {
        // Looked up at the first alert, so a start-up never waits on the audio system.
        if (QMediaDevices::audioOutputs().isEmpty()) {
            noDevice_ = true;
            return;
        }
        effect_ = new QSoundEffect(this);
        effect_->setSource(QUrl(QStringLiteral("qrc:/sounds/alert.wav")));
    }
    // A sound still loading starts as soon as it is ready; a device that fails stays silent.
    effect_->stop();
    effect_->play();
}

}  // namespace lumo
