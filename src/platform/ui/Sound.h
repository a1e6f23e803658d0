#pragma once
// The program's wave sounds, kept in its resources under ":/sounds/<NAME>.wav". A sound plays
// asynchronously, and not at all where there is no audio output or no wave of that name.

#include <QString>

#include <memory>

namespace qb {

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts the named wave; false when nothing is played.
    virtual bool play(const QString& name) = 0;
};

// The resource path of a named wave.
inline QString soundResourcePath(const QString& name) {
    return QStringLiteral(":/sounds/") + name + QStringLiteral(".wav");
}

// Plays through Qt Multimedia, loaded with the player module at the first play of a wave; the
// program is silent when the module cannot be loaded.
class QtSound : public Sound {
  public:
    QtSound();
    ~QtSound() override;
    bool play(const QString& name) override;

  private:
    std::unique_ptr<Sound> player_;
    bool triedPlayer_ = false;
};

}  // namespace qb
