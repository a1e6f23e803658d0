#pragma once
// Hot keys for tests: keys listed in `taken` fail to register; press() delivers at once.

#include "platform/ui/HotKeys.h"

#include <Qt>

#include <utility>
#include <vector>

namespace qb {

class FakeHotKeys : public HotKeys {
  public:
    struct Key {
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        bool operator==(const Key&) const = default;
    };

    bool x11 = true;         // what available() answers
    std::vector<Key> taken;  // held by "another program"
    std::vector<std::pair<int, Key>> registered;
    std::vector<int> attempts;  // every id asked for, in order

    bool available() const override { return x11; }
    bool registerHotKey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) override;
    void unregisterHotKey(int id) override;
    // A press of the key registered as id; false (and nothing delivered) when none is.
    bool press(int id);
};

}  // namespace qb
