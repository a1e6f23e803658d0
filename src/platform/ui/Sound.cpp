#include "platform/ui/Sound.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>

namespace qb {

namespace {

using MakePlayer = Sound* (*)();

// The player module: beside the program when it is installed, else where the build made it.
std::unique_ptr<Sound> loadPlayer() {
    const QString besideProgram =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" QB_SOUND_MODULE_NAME);
    for (const QString& path : {besideProgram, QStringLiteral(QB_SOUND_MODULE_BUILT)}) {
        QLibrary module(path);
        if (auto make = reinterpret_cast<MakePlayer>(module.resolve("qb_make_sound_player"))) {
            return std::unique_ptr<Sound>(make());  // the module stays loaded
        }
    }
    return nullptr;
}

}  // namespace

QtSound::QtSound() = default;

QtSound::~QtSound() = default;

bool QtSound::play(const QString& name) {
    if (name.isEmpty() || !QFile::exists(soundResourcePath(name))) {
        return false;
    }
    if (!player_) {
        if (triedPlayer_) {
            return false;
        }
        triedPlayer_ = true;
        player_ = loadPlayer();
        if (!player_) {
            return false;
        }
    }
    return player_->play(name);
}

}  // namespace qb
