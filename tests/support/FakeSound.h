#pragma once
// Sounds for tests: records the names asked for instead of playing them.

#include "platform/ui/Sound.h"

#include <QString>

#include <vector>

namespace qb {

class FakeSound : public Sound {
  public:
    std::vector<QString> played;
    bool play(const QString& name) override {
        played.push_back(name);
        return true;
    }
};

}  // namespace qb
