#include "platform/ui/Fonts.h"

#include <QStringList>
#include <QWidget>

namespace qb {
namespace {

// The font a widget takes when its window is first shown.
class FontWhenShown : public QObject {
  public:
    FontWhenShown(QWidget* widget, const QFont& font) : QObject(widget), font_(font) {
        setObjectName(QString::fromUtf16(kName));
    }
    static constexpr char16_t kName[] = u"qbFontWhenShown";

    void apply() {
        auto* widget = static_cast<QWidget*>(parent());
        if (!widget->testAttribute(Qt::WA_SetFont)) {
            widget->setFont(font_);
        }
    }

  private:
    QFont font_;
};

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

void setFontWhenShown(QWidget* widget, const QFont& font) {
    if (widget->window()->isVisible()) {
        widget->setFont(font);
        return;
    }
    new FontWhenShown(widget, font);
}

void applyFontsWhenShown(QWidget* window) {
    for (QObject* pending :
         window->findChildren<QObject*>(QString::fromUtf16(FontWhenShown::kName))) {
        static_cast<FontWhenShown*>(pending)->apply();
        delete pending;
    }
}

}  // namespace qb
