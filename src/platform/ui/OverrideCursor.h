#pragma once
// The application-wide busy cursor for the length of a scope. Override cursors stack, so each
// guard puts back exactly the one it set, on every way out of the scope.

#include <Qt>

namespace qb {

class OverrideCursor {
  public:
    // Qt::BusyCursor is the arrow with an hourglass, Qt::WaitCursor the hourglass alone.
    explicit OverrideCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~OverrideCursor();
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;

    // Puts the cursor back now instead of at the end of the scope.
    void restore();

  private:
    bool active_ = false;
};

}  // namespace qb
