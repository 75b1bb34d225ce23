#pragma once

#include <QObject>

namespace lumo {

// The new-content chime, played from the program's embedded resources. play() starts it and
// returns at once. The first play() loads the Qt Multimedia part from the module
// lumo_alert_sound beside the program; without an audio output device, or without the module,
// nothing is played and nothing is reported.
//
// Window thread only.
class AlertSound : public QObject {
    Q_OBJECT
public:
    explicit AlertSound(QObject* parent = nullptr);

    void play();

    // How often play() was asked for, whether or not a device could play it.
    int playRequests() const { return playRequests_; }

private:
    QObject* effect_ = nullptr;  // a QSoundEffect, created by the module
    bool noDevice_ = false;
    int playRequests_ = 0;
};

}  // namespace lumo
