#pragma once
// The program's last line of defence: an exception that leaves an event handler is shown in a box
// (its message, the application title, an error icon) and the program goes on. Every handler
// that the event loop calls runs through runGuarded, directly or through guarded().

#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace qb {

// Shows the message as the default handler does: a message that ends in a character above "."
// gets a closing ".".
void showException(const QString& message);
void showException(const std::exception& error);

// Runs the handler; an exception is shown and swallowed. True when the handler returned.
bool runGuarded(const std::function<void()>& handler);

// Runs an event's handler guarded when one is set.
void runHandler(const std::function<void()>& handler);

// A callable for QObject::connect that runs handler guarded. The handler takes either the
// signal's arguments or none.
template <typename F>
auto guarded(F handler) {
    return [handler = std::move(handler)](auto&&... args) mutable -> void {
        runGuarded([&] {
            if constexpr (std::is_invocable_v<F&, decltype(args)...>) {
                handler(std::forward<decltype(args)>(args)...);
            } else {
                handler();
            }
        });
    };
}

}  // namespace qb
