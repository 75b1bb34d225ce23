#pragma once

#include <QObject>

namespace lumo {

// The new-content chime, played from the program's embedded resources. play() starts it and
// returns at once. The first play() loads the Qt Multimedia part from the module
// lumo_alert_sound (found as ModuleFolders says: beside the program in a build, in the installed
// module folder otherwise); without the module, or without an audio output device, nothing is
// played and nothing is reported, then or later.
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
    // Whether the module and a device were found; known from the first play() on.
    enum class Output { NotLoaded, Loaded, NoModule, NoDevice };

    QObject* effect_ = nullptr;  // a QSoundEffect, created by the module
    Output output_ = Output::NotLoaded;
    int playRequests_ = 0;
};

}  // namespace lumo
