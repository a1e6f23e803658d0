#pragma once
// Global hot keys: a key combination that reaches the program whichever window has the focus.
// On X11 the keys are grabbed on the root window, with every Caps Lock and Num Lock variant, and
// a press is delivered to the handler with the key's id, later, on the user-interface thread.
// Registering fails where the program does not run on X11 or another client holds the keys.

#include <QObject>
#include <Qt>

#include <functional>
#include <memory>
#include <utility>

namespace qb {

class HotKeys {
  public:
    using Handler = std::function<void(int id)>;

    virtual ~HotKeys() = default;

    // The platform has global hot keys at all (false without X11).
    virtual bool available() const = 0;
    // Registers id for modifiers + key (a letter, a digit or a function key); false when the
    // key is taken, the platform has none, or the key cannot be typed. An id registered before
    // is given up first.
    virtual bool registerHotKey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key) = 0;
    virtual void unregisterHotKey(int id) = 0;

    // The handler runs guarded for each press of a registered key.
    void setHandler(Handler handler) { handler_ = std::move(handler); }

  protected:
    void deliver(int id);

  private:
    Handler handler_;
};

// The hot keys of the running application: X11 when it runs on the xcb platform, else a set
// whose registrations all fail.
std::unique_ptr<HotKeys> createHotKeys();

}  // namespace qb
