// The part of the alert sound that needs Qt Multimedia, built as a module of its own
// (lumo_alert_sound) that AlertSound loads at the first alert. The program itself does not link
// Qt Multimedia, so its audio back end and codec libraries stay out of memory until a sound is
// wanted.
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

// The build this module comes from; the window uses no module of another (ModuleFolders).
extern "C" Q_DECL_EXPORT const char* lumoModuleStamp() {
    return LUMO_MODULE_STAMP;
}

// A QSoundEffect on the embedded chime, owned by `parent`, or null when the system has no audio
// output. Its slots play() and stop() are all the caller uses. Window thread only.
extern "C" Q_DECL_EXPORT QObject* lumoCreateAlertSound(QObject* parent) {
    if (QMediaDevices::audioOutputs().isEmpty()) return nullptr;
    auto* effect = new QSoundEffect(parent);
    effect->setSource(QUrl(QStringLiteral("qrc:/sounds/alert.wav")));
    return effect;
}
