#pragma once
// The pictures of the 16 x 16 image buttons of an editor's tool bar.

#include <QPixmap>

namespace qb {

// The pictures of the four buttons.
QPixmap previousPicture();
QPixmap nextPicture();
QPixmap refreshPicture();
QPixmap explorePicture();

}  // namespace qb
