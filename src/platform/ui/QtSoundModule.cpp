// The player behind QtSound, built as a module of its own: Qt Multimedia and the audio libraries
// it brings are loaded with it, at the first sound, and never by a start of the program.

#include "platform/ui/Sound.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <map>
#include <memory>

namespace {

// Each wave is loaded once, at its first play.
class SoundEffects : public qb::Sound {
  public:
    bool play(const QString& name) override {
        const QString path = qb::soundResourcePath(name);
        if (name.isEmpty() || !QFile::exists(path) || QMediaDevices::audioOutputs().isEmpty()) {
            return false;
        }
        std::unique_ptr<QSoundEffect>& effect = effects_[name];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            effect->setSource(QUrl(QStringLiteral("qrc") + path));
        }
        // Playing again while the wave still sounds starts it anew, as a fresh play would.
        effect->stop();
        effect->play();
        return true;
    }

  private:
    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
};

}  // namespace

extern "C" Q_DECL_EXPORT qb::Sound* qb_make_sound_player() {
    return new SoundEffects();
}
