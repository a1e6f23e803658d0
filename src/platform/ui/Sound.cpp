#include "platform/ui/Sound.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace qb {

QString soundResourcePath(const QString& name) {
    return QStringLiteral(":/sounds/") + name + QStringLiteral(".wav");
}

QtSound::QtSound() = default;

QtSound::~QtSound() = default;

bool QtSound::play(const QString& name) {
    const QString path = soundResourcePath(name);
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

}  // namespace qb
