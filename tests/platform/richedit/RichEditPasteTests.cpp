#include "platform/richedit/RichEdit.h"
#include "platform/richedit/RichEditPaste.h"

#include "platform/rtf/Rtf.h"

#include <gtest/gtest.h>

#include "platform/richedit/PrintQt.h"
#include "support/DocumentPictures.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

namespace qb {
namespace {

using test::pictures;

QByteArray encoded(const char* format) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class RichEditPasteTest : public ::testing::Test {
  protected:
    void paste(QMimeData* data) {
        edit.InsertMimeData(*data);
        delete data;
    }
    static QMimeData* text(const QString& t) {
        auto* data = new QMimeData;
        data->setText(t);
        return data;
    }
    QTextCharFormat formatAt(int position) {
        QTextCursor c(edit.document());
        c.setPosition(position + 1);
        return c.charFormat();
    }

    TRichEdit edit;
};

TEST_F(RichEditPasteTest, PlainTextTakesTheFormatAtTheCaretAndLosesControlCharacters) {
    edit.SelAttributes().setStyle(TFontStyle::Bold);
    paste(text(QString::fromUtf8("one\r\ntwo\rthree\nx\x01y\tz")));
    EXPECT_EQ(edit.toPlainText(), "one\ntwo\nthree\nxy\tz");
    EXPECT_TRUE(formatAt(0).font().bold());
    EXPECT_TRUE(formatAt(edit.GetTextLen() - 1).font().bold());
}

TEST_F(RichEditPasteTest, PasteIsCutToTheMaximumLength) {
    edit.setMaxLength(6);
    paste(text("abc"));
    paste(text("defgh"));
    EXPECT_EQ(edit.toPlainText(), "abcdef");
    paste(text("more"));
    EXPECT_EQ(edit.toPlainText(), "abcdef");
    edit.setSelStart(1);
    edit.setSelLength(2);  // the selection's room is free again
    paste(text("XYZ"));
    EXPECT_EQ(edit.toPlainText(), "aXYdef");

    // Never half of a character beyond U+FFFF.
    edit.clear();
    edit.setMaxLength(2);
    paste(text(QString::fromUtf8("a\xF0\x9F\x98\x80")));
    EXPECT_EQ(edit.toPlainText(), "a");

    // Rich content is cut the same way.
    edit.clear();
    auto* html = new QMimeData;
    html->setHtml("<b>bold</b>text");
    html->setText("boldtext");
    paste(html);
    EXPECT_EQ(edit.toPlainText(), "bo");
    EXPECT_TRUE(formatAt(1).font().bold());
}

TEST_F(RichEditPasteTest, PasteNeverBringsTheRtfBeyondItsMaximumSize) {
    const QByteArray picture = encoded("PNG");
    edit.setMaxRtfSize(edit.SaveRtf().size() + 2 * picture.size() + 200);
    auto* image = new QMimeData;
    image->setData("image/png", picture);
    paste(image);
    ASSERT_EQ(pictures(*edit.document()).size(), 1u);
    image = new QMimeData;
    image->setData("image/png", picture);
    paste(image);  // a second picture's hex is more than the size leaves
    EXPECT_EQ(pictures(*edit.document()).size(), 1u);

    edit.clear();
    edit.setMaxRtfSize(edit.SaveRtf().size() + 100);
    paste(text(QString(200, u'a')));
    EXPECT_EQ(edit.GetTextLen(), 0);
    paste(text(QString(5, u'a')));
    EXPECT_EQ(edit.GetTextLen(), 5);
    EXPECT_LE(edit.SaveRtf().size(), edit.MaxRtfSize());
}

TEST_F(RichEditPasteTest, PastingAVeryLongRunWrapsTheTextAtAnyCharacter) {
    edit.resize(400, 300);
    edit.show();
    paste(text("short words only "));
    EXPECT_FALSE(edit.WrapsAnywhere());
    // Two halves that make one run where they meet.
    paste(text(QString(20000, u'x')));
    EXPECT_FALSE(edit.WrapsAnywhere());
    edit.setSelStart(edit.GetTextLen());
    paste(text(QString(20000, u'x')));
    edit.document()->documentLayout()->blockBoundingRect(edit.document()->lastBlock());
    EXPECT_TRUE(edit.WrapsAnywhere());
}

TEST_F(RichEditPasteTest, HtmlKeepsOnlyWhatTheWriterSaves) {
    auto* data = new QMimeData;
    data->setHtml(
        "<p style='text-align:center'><b>Bold</b> <a href='http://x/'>link</a> "
        "<span style='background:yellow; font-size:13.5pt; color:#123456; vertical-align:super'>"
        "big</span><img src='file:///etc/hostname'></p>"
        "<table><tr><td>cell</td><td>two</td></tr></table><ol><li>item</li></ol>");
    data->setText("Bold link big");
    paste(data);
    const QTextDocument& doc = *edit.document();
    // Table cells become paragraphs; the paragraph that follows a table stays.
    EXPECT_EQ(edit.Lines(), (QStringList{"Bold link big", "cell", "two", "", "item"}));
    EXPECT_TRUE(pictures(doc).empty());
    EXPECT_TRUE(formatAt(0).font().bold());
    EXPECT_EQ(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_FALSE(f.isAnchor()) << it.fragment().text().toStdString();
            EXPECT_FALSE(f.hasProperty(QTextFormat::BackgroundBrush));
            EXPECT_FALSE(f.hasProperty(QTextFormat::TextVerticalAlignment));
        }
    }
    edit.setSelStart(10);
    edit.setSelLength(3);
    EXPECT_EQ(edit.SelAttributes().Size(), 13);
    EXPECT_EQ(edit.SelAttributes().Color(), 0x563412u);
    edit.setSelStart(edit.GetTextLen() - 1);
    EXPECT_EQ(edit.Paragraph().Numbering(), TNumberingStyle::Bullet);  // lists become bullets
}

TEST_F(RichEditPasteTest, PngAndJpegPicturesAreKeptAsTheyAre) {
    for (const char* kind : {"png", "jpeg"}) {
        edit.clear();
        const QByteArray bytes = encoded(kind == QByteArray("png") ? "PNG" : "JPEG");
        auto* data = new QMimeData;
        data->setData(QStringLiteral("image/") + kind, bytes);
        paste(data);
        const auto found = pictures(*edit.document());
        ASSERT_EQ(found.size(), 1u) << kind;
        const auto picture = richedit::pictureOf(*edit.document(), found.front());
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->bytes, bytes);
        EXPECT_EQ(picture->kind, QByteArray(kind));
        EXPECT_EQ(edit.GetTextLen(), 1);
    }
}

TEST_F(RichEditPasteTest, OtherImagesBecomePngAndBrokenOnesAreDropped) {
    auto* image = new QMimeData;
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    image->setImageData(bitmap);
    paste(image);
    auto found = pictures(*edit.document());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(richedit::pictureOf(*edit.document(), found.front())->kind, "png");

    edit.clear();
    auto* broken = new QMimeData;
    broken->setData("image/png", "\x89PNG not really");
    paste(broken);
    EXPECT_EQ(edit.GetTextLen(), 0);

    auto* other = new QMimeData;
    other->setData("application/x-something", "data");
    paste(other);
    EXPECT_EQ(edit.GetTextLen(), 0);
}

TEST_F(RichEditPasteTest, CopyGivesPlainTextAndTheWritersRtf) {
    QTextCursor c(edit.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText("keep ");
    c.insertText("this", bold);
    c.insertText(" out");
    edit.setSelStart(5);
    edit.setSelLength(4);
    edit.CopyToClipboard();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "this");
    QTextDocument selection;
    QTextCursor(&selection).insertText("this", bold);
    EXPECT_EQ(data->data("text/rtf"), rtf::write(selection));

    // Pasting it back goes through the reader.
    edit.setSelStart(edit.GetTextLen());
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.toPlainText(), "keep this outthis");
    edit.setSelStart(14);
    edit.setSelLength(4);
    EXPECT_EQ(edit.SelAttributes().Style(), TFontStyle::Bold);
}

TEST_F(RichEditPasteTest, PastedPicturesSurviveSaveAndLoad) {
    const QByteArray jpeg = encoded("JPEG");
    paste(text("before "));
    auto* data = new QMimeData;
    data->setData("image/jpeg", jpeg);
    paste(data);
    paste(text(" after"));
    const QByteArray rtf = edit.SaveRtf();
    EXPECT_TRUE(rtf.contains("\\jpegblip"));

    TRichEdit other;
    other.LoadRtf(rtf);
    EXPECT_EQ(other.toPlainText(), edit.toPlainText());
    const auto found = pictures(*other.document());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(richedit::pictureOf(*other.document(), found.front())->bytes, jpeg);
    EXPECT_EQ(other.SaveRtf(), rtf);

    // A copy of the picture pastes as the same picture.
    other.setSelStart(7);
    other.setSelLength(1);
    other.CopyToClipboard();
    edit.clear();
    edit.PasteFromClipboard();
    const auto pasted = pictures(*edit.document());
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(richedit::pictureOf(*edit.document(), pasted.front())->bytes, jpeg);
}

}  // namespace
}  // namespace qb
