#include "platform/ui/Fonts.h"

#include <QStringList>

namespace qb {
namespace {

QFont layoutFace() {
    QFont face(QStringLiteral("Tahoma"));
    face.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans")});
    return face;
}

}  // namespace

QFont layoutFont(int pointSize) {
    QFont face = layoutFace();
    face.setPointSize(pointSize);
    return face;
}

QFont layoutFontPixels(int pixels) {
    QFont face = layoutFace();
    face.setPixelSize(pixels);
    return face;
}

}  // namespace qb
