#pragma once

#include <QObject>

class QSoundEffect;

namespace lumo {

// The new-content chime, played from the program's embedded resources. play() starts it and
// returns at once. Without an audio output device nothing is played and nothing is reported.
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
    QSoundEffect* effect_ = nullptr;
    bool noDevice_ = false;
    int playRequests_ = 0;
};

}  // namespace lumo
