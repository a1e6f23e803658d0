// The glyph pictures of the tool bars and menus are drawn from the one face that has the glyph
// when the layout face has it, to spare the look-up of fallback faces: they must come out pixel
// for pixel as the merged font draws them, for every glyph and style the program uses.

#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/Fonts.h"
#include "program/ProgramImages.h"

namespace {

struct Glyph {
    const char16_t* text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
};

TEST(GlyphIcons, DrawTheSamePixelsAsTheMergedFont) {
    const std::vector<Glyph> glyphs = {
        {u"\u21B6", true},
        {u"\u21B7", true},
        {u"\u2702"},
        {u"\u2750"},
        {u"B", true},
        {u"I", false, true},
        {u"U", false, false, true},
        {u"S", false, false, false, true},
        {u"\u2261"},
        {u"\u2263"},
        {u"\u2261", true},
        {u"\u2022", true},
        {u"F1", true},
        {u"F2", true},
        {u"A", true},
        {u"\u2609"},
        {u"\u25C0"},
        {u"\u25B6"},
        {u"\u25A6"},
        {u"\u271A"},
        {u"\u2315"},
        {u"\u21BB"},
        {u"\u2606"},
        {u"\u25A7"},
        {u"\u21E9"},
    };
    const QFont base = qb::layoutFont(8);
    const QColor ink = ProgramImages::ink();
    for (const Glyph& g : glyphs) {
        const QString text = QString::fromUtf16(g.text);
        SCOPED_TRACE(text.toStdString());
        const QFont merged =
            ProgramImages::glyphFont(base, text, g.bold, g.italic, g.underline, g.strike);
        const QImage expected = ProgramImages::drawGlyph(text, ink, merged).toImage();
        const QImage drawn =
            ProgramImages::glyphIcon(text, ink, base, g.bold, g.italic, g.underline, g.strike)
                .pixmap(16, 16)
                .toImage();
        EXPECT_EQ(drawn, expected);
        // Something was drawn at all: a picture of nothing would also be "the same".
        EXPECT_NE(expected, ProgramImages::drawGlyph(QString(), ink, merged).toImage());
    }
}

}  // namespace
