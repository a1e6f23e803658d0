#include "program/ProgramImages.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/LazyIcon.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QRect>

#include <optional>

namespace ProgramImages {

QColor ink() {
    return {0x20, 0x20, 0x60};
}

namespace {

// The face the glyph is drawn from when the base face itself has every character of it: the
// family the base resolves to (its engine is loaded already), with no merging of other faces. It
// draws the very pixels the merged font draws (its first face is this one), without looking up the
// fallback faces of the requested family and style, which costs more than the drawing.
std::optional<QFont> ownFace(const QFont& base, const QFont& font, const QString& glyph) {
    QFont own = font;
    own.setFamilies({QFontInfo(base).family()});
    own.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
    const QFontMetrics metrics(own);
    for (const char32_t c : glyph.toUcs4()) {
        if (!metrics.inFontUcs4(c)) {
            return std::nullopt;
        }
    }
    return own;
}

}  // namespace

QFont glyphFont(const QFont& base, const QString& glyph, bool bold, bool italic, bool underline,
                bool strike) {
    QFont font = base;
    font.setPixelSize(glyph.size() > 1 ? 9 : 12);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strike);
    return font;
}

QPixmap drawGlyph(const QString& glyph, QColor ink, const QFont& font) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, glyph);
    painter.end();
    return picture;
}

QIcon glyphIcon(const QString& glyph, QColor ink, const QFont& base, bool bold, bool italic,
                bool underline, bool strike) {
    // Drawn at the first request: the fallback faces of the symbols are loaded only then.
    return qb::lazyIcon([glyph, ink, base, bold, italic, underline, strike] {
        const QFont font = glyphFont(base, glyph, bold, italic, underline, strike);
        return QIcon(drawGlyph(glyph, ink, ownFace(base, font, glyph).value_or(font)));
    });
}

QIcon drawnIcon(Drawn kind, QColor ink) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(ink);
    switch (kind) {
        case Drawn::Save:  // a diskette
            painter.drawRect(2, 2, 11, 11);
            painter.fillRect(5, 3, 6, 4, ink);
            painter.drawRect(5, 9, 5, 4);
            break;
        case Drawn::Print:  // a printer with its sheet
            painter.drawRect(4, 1, 7, 5);
            painter.drawRect(1, 6, 13, 6);
            painter.fillRect(4, 10, 8, 5, Qt::white);
            painter.drawRect(4, 10, 7, 4);
            break;
        case Drawn::Paste:  // a clipboard
            painter.drawRect(2, 3, 11, 12);
            painter.fillRect(5, 1, 6, 4, ink);
            painter.drawLine(5, 8, 10, 8);
            painter.drawLine(5, 11, 10, 11);
            break;
    }
    return QIcon(picture);
}

QIcon searchImage() {
    // The main window's face: the picture is the same in its tool bar and on the search window.
    return glyphIcon(QStringLiteral("\u2606"), ink(), qb::layoutFont(8));
}

}  // namespace ProgramImages
