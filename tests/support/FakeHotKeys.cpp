#include "support/FakeHotKeys.h"

#include <algorithm>

namespace qb {

bool FakeHotKeys::registerHotKey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) {
    attempts.push_back(id);
    unregisterHotKey(id);
    const Key wanted{modifiers, key};
    if (!x11 || std::find(taken.begin(), taken.end(), wanted) != taken.end()) {
        return false;
    }
    registered.emplace_back(id, wanted);
    return true;
}

void FakeHotKeys::unregisterHotKey(int id) {
    std::erase_if(registered, [id](const auto& entry) { return entry.first == id; });
}

bool FakeHotKeys::press(int id) {
    const bool known = std::any_of(registered.begin(), registered.end(),
                                   [id](const auto& entry) { return entry.first == id; });
    if (known) {
        deliver(id);
    }
    return known;
}

}  // namespace qb
