#pragma once
// The global through which the program reaches one of its windows, for a window that need not
// exist before it is first used: the program hands it a maker at start, and the first use
// through the global (a call, a pointer taken from it) makes the window then. A start thus pays
// only for the windows that its first frame shows.

#include <functional>
#include <utility>

namespace qb {

template <typename T>
class LazyWindow {
  public:
    LazyWindow() = default;
    LazyWindow(const LazyWindow&) = delete;
    LazyWindow& operator=(const LazyWindow&) = delete;

    // The window itself (or none), made by whoever owns it; a maker still waiting is dropped.
    LazyWindow& operator=(T* window) {
        window_ = window;
        make_ = nullptr;
        return *this;
    }

    // make runs at the first use; it makes the window, points this global at it (=) and then
    // wires it, so that the wiring may already reach the window through the global.
    void makeOnFirstUse(std::function<void()> make) {
        window_ = nullptr;
        make_ = std::move(make);
    }

    // The window, made now when it is still to be made; none when there is no window at all.
    T* get() const {
        if (!window_ && make_) {
            const std::function<void()> make = std::exchange(make_, nullptr);
            make();
        }
        return window_;
    }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }

    // There is a window, made or still to be made: the test alone never makes it.
    explicit operator bool() const { return window_ != nullptr || static_cast<bool>(make_); }

    // The window when it has been made, else none; for work that only a made window needs (a
    // window made later reads the program's state as it is made).
    T* made() const { return window_; }

  private:
    mutable T* window_ = nullptr;
    mutable std::function<void()> make_;
};

}  // namespace qb
