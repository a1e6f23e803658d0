#pragma once
// For tests that move the mouse pointer: it goes back where it was when the test is over, so
// that the next test finds the pointer where the one before that left it.

#include <QCursor>
#include <QPoint>

namespace qbtest {

class KeptPointer {
  public:
    KeptPointer() : place_(QCursor::pos()) {}
    ~KeptPointer() { QCursor::setPos(place_); }
    KeptPointer(const KeptPointer&) = delete;
    KeptPointer& operator=(const KeptPointer&) = delete;

  private:
    QPoint place_;
};

}  // namespace qbtest
