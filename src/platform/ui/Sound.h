#pragma once
// The program's wave sounds, kept in its resources under ":/sounds/<NAME>.wav". A sound plays
// asynchronously, and not at all where there is no audio output or no wave of that name.

#include <QString>

#include <map>
#include <memory>
#include <vector>

class QSoundEffect;

namespace qb {

class Sound {
  public:
    virtual ~Sound() = default;
    // Starts the named wave; false when nothing is played.
    virtual bool play(const QString& name) = 0;
};

// The resource path of a named wave.
QString soundResourcePath(const QString& name);

// Plays through Qt Multimedia; each wave is loaded once, at its first play.
class QtSound : public Sound {
  public:
    QtSound();
    ~QtSound() override;
    bool play(const QString& name) override;

  private:
    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
};

// Records the names asked for instead of playing them.
class FakeSound : public Sound {
  public:
    std::vector<QString> played;
    bool play(const QString& name) override {
        played.push_back(name);
        return true;
    }
};

}  // namespace qb
