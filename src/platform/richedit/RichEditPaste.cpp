#include "platform/richedit/RichEditPaste.h"

#include "platform/richedit/RichEditFormats.h"
#include "platform/rtf/Rtf.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>

namespace qb::richedit {

namespace {

const QStringList kRtfTypes{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                            QStringLiteral("text/richtext")};
using rtf::kPictureBytes;
using rtf::kPictureKind;

// A document that never fetches anything a pasted text names (local files, style sheets).
class InertDocument : public QTextDocument {
  protected:
    QVariant loadResource(int, const QUrl&) override { return {}; }
};

QString rtfType(const QMimeData& source) {
    for (const QString& type : kRtfTypes) {
        if (source.hasFormat(type)) {
            return type;
        }
    }
    return {};
}

std::optional<Picture> pictureOfImage(const QImage& image) {
    if (image.isNull()) {
        return std::nullopt;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return std::nullopt;
    }
    return Picture{png, "png"};
}

std::optional<Picture> clipboardPicture(const QMimeData& source) {
    for (const char* type : {"image/png", "image/jpeg"}) {
        if (source.hasFormat(QLatin1String(type))) {
            if (auto picture = pictureFromData(source.data(QLatin1String(type)))) {
                return picture;
            }
        }
    }
    if (source.hasImage()) {
        return pictureOfImage(qvariant_cast<QImage>(source.imageData()));
    }
    return std::nullopt;
}

QString cleanText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        const bool control = c.unicode() < 0x20 && c != u'\t' && c != u'\n';
        if (!control && c != QChar::ObjectReplacementCharacter && c != QChar::Null) {
            clean += c;
        }
    }
    return clean;
}

QTextCharFormat cleanCharFormat(const QTextCharFormat& from, const QTextDocument& doc) {
    QTextCharFormat to;
    if (from.hasProperty(QTextFormat::FontWeight)) {
        to.setFontWeight(from.fontWeight() > QFont::Medium ? QFont::Bold : QFont::Normal);
    }
    if (from.hasProperty(QTextFormat::FontItalic)) {
        to.setFontItalic(from.fontItalic());
    }
    if (from.hasProperty(QTextFormat::TextUnderlineStyle) ||
        from.hasProperty(QTextFormat::FontUnderline)) {
        to.setFontUnderline(from.underlineStyle() != QTextCharFormat::NoUnderline ||
                            from.fontUnderline());
    }
    if (from.hasProperty(QTextFormat::FontStrikeOut)) {
        to.setFontStrikeOut(from.fontStrikeOut());
    }
    if (const QStringList families = from.property(QTextFormat::FontFamilies).toStringList();
        !families.isEmpty()) {
        to.setFontFamilies(QStringList{families.front()});
    }
    if (from.hasProperty(QTextFormat::FontPointSize) ||
        from.hasProperty(QTextFormat::FontPixelSize)) {
        to.setFontPointSize(std::max(1, pointsOf(from, doc)));
    }
    if (from.hasProperty(QTextFormat::ForegroundBrush) &&
        from.foreground().style() == Qt::SolidPattern) {
        to.setForeground(from.foreground().color().toRgb());
    }
    return to;
}

QTextBlockFormat cleanBlockFormat(const QTextBlock& block) {
    const QTextBlockFormat from = block.blockFormat();
    QTextBlockFormat to;
    const Qt::Alignment a = from.alignment();
    if (a & (Qt::AlignRight | Qt::AlignTrailing)) {
        to.setAlignment(Qt::AlignRight);
    } else if (a & Qt::AlignHCenter) {
        to.setAlignment(Qt::AlignHCenter);
    }
    // Whole twips, as the page keeps them; indent levels become part of the margin.
    int left = twipsOf(from.leftMargin() + levelIndent(block));
    if (block.textList() != nullptr) {
        left = std::max(left, kBulletRoomTwips);
    }
    to.setLeftMargin(pixelsOf(left));
    to.setTextIndent(pixelsOf(twipsOf(from.textIndent())));
    return to;
}

void copyBlock(const QTextDocument& source, const QTextBlock& block, QTextCursor& out) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            if (auto picture = pictureOf(source, format.toImageFormat())) {
                insertPicture(out, *picture);
            }
            continue;
        }
        const QString text = cleanText(fragment.text());
        if (!text.isEmpty()) {
            out.insertText(text, cleanCharFormat(format, source));
        }
    }
}

// Gives target the image resources that the pictures of source show.
void copyPictures(const QTextDocument& source, QTextDocument& target) {
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                const QUrl name(format.toImageFormat().name());
                const QVariant image = source.resource(QTextDocument::ImageResource, name);
                if (image.isValid()) {
                    target.addResource(QTextDocument::ImageResource, name, image);
                }
            }
        }
    }
}

}  // namespace

std::optional<Picture> pictureFromData(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray kind = reader.format();
    QImage image;
    if (!reader.read(&image)) {
        return std::nullopt;
    }
    if (kind == "png" || kind == "jpeg" || kind == "jpg") {
        return Picture{data, kind == "png" ? QByteArray("png") : QByteArray("jpeg")};
    }
    return pictureOfImage(image);
}

std::optional<Picture> pictureOf(const QTextDocument& doc, const QTextImageFormat& format) {
    const QByteArray bytes = format.property(kPictureBytes).toByteArray();
    const QByteArray kind = format.property(kPictureKind).toByteArray();
    if (!bytes.isEmpty() && (kind == "png" || kind == "jpeg")) {
        return Picture{bytes, kind};
    }
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (resource.typeId() == QMetaType::QByteArray) {
        return pictureFromData(resource.toByteArray());
    }
    if (resource.typeId() == QMetaType::QPixmap) {
        return pictureOfImage(resource.value<QPixmap>().toImage());
    }
    if (resource.typeId() == QMetaType::QImage) {
        return pictureOfImage(resource.value<QImage>());
    }
    return std::nullopt;
}

void insertPicture(QTextCursor& cursor, const Picture& picture) {
    QImage image;
    if (!image.loadFromData(picture.bytes)) {
        return;
    }
    // Named by content, so that a picture pasted twice or from another page never clashes.
    const QString name =
        QLatin1String(rtf::kPictureScheme) + u':' +
        QString::fromLatin1(
            QCryptographicHash::hash(picture.bytes, QCryptographicHash::Sha1).toHex()) +
        u'.' + QString::fromLatin1(picture.kind);
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(image.width());
    format.setHeight(image.height());
    format.setProperty(kPictureBytes, picture.bytes);
    format.setProperty(kPictureKind, picture.kind);
    cursor.insertImage(format);
}

bool canPaste(const QMimeData& source) {
    return !rtfType(source).isEmpty() || source.hasImage() || source.hasFormat("image/png") ||
           source.hasFormat("image/jpeg") || source.hasHtml() || source.hasText();
}

bool richContent(const QMimeData& source, QTextDocument& content) {
    if (const QString type = rtfType(source); !type.isEmpty()) {
        QTextDocument read;
        rtf::read(source.data(type), read);
        keepWritable(read, content);
        return true;
    }
    const bool hasText = source.hasText() && !source.text().isEmpty();
    if (!hasText || !source.hasHtml()) {
        if (auto picture = clipboardPicture(source)) {
            content.clear();
            QTextCursor cursor(&content);
            insertPicture(cursor, *picture);
            return true;
        }
    }
    if (source.hasHtml()) {
        InertDocument html;
        html.setHtml(source.html());
        keepWritable(html, content);
        return true;
    }
    return false;
}

QString plainContent(const QMimeData& source) {
    return source.hasText() ? cleanText(source.text()) : QString();
}

void keepWritable(const QTextDocument& source, QTextDocument& target) {
    target.clear();
    QTextCursor out(&target);
    QTextList* bullets = nullptr;
    bool first = true;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = cleanBlockFormat(block);
        const QTextCharFormat charFormat = cleanCharFormat(block.charFormat(), source);
        if (first) {
            out.setBlockFormat(format);
            out.setBlockCharFormat(charFormat);
            first = false;
        } else {
            out.insertBlock(format, charFormat);
        }
        // Every list is kept as bullets: the page has no other numbering.
        if (block.textList() != nullptr) {
            if (bullets == nullptr) {
                QTextListFormat list;
                list.setStyle(QTextListFormat::ListDisc);
                list.setIndent(0);
                bullets = out.createList(list);
            } else {
                bullets->add(out.block());
            }
        } else {
            bullets = nullptr;
        }
        copyBlock(source, block, out);
    }
}

void truncate(QTextDocument& content, int length) {
    const int count = content.characterCount() - 1;
    if (length >= count) {
        return;
    }
    if (length > 0 && content.characterAt(length - 1).isHighSurrogate()) {
        --length;  // never half a character
    }
    QTextCursor cursor(&content);
    cursor.setPosition(length);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void insertDocument(QTextCursor& cursor, const QTextDocument& content) {
    copyPictures(content, *cursor.document());
    cursor.insertFragment(QTextDocumentFragment(&content));
}

std::unique_ptr<QMimeData> mimeDataOf(const QTextCursor& cursor) {
    auto data = std::make_unique<QMimeData>();
    const QTextDocumentFragment selection = cursor.selection();
    data->setText(cleanText(selection.toPlainText()));
    QTextDocument copy;
    copy.setDefaultFont(cursor.document()->defaultFont());
    QTextCursor(&copy).insertFragment(selection);
    copyPictures(*cursor.document(), copy);
    data->setData(kRtfTypes.front(), rtf::write(copy));
    return data;
}

}  // namespace qb::richedit
