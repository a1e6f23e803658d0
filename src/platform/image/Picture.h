#pragma once
// Reading picture files for display. JPEG goes through libjpeg with an error manager of our own
// (libjpeg's default one ends the process) and may be decoded at 1/2, 1/4 or 1/8 scale, which is
// far cheaper than a full decode and a resize; other formats go through Qt's image readers. The
// decoded size is capped whatever the file size says, and a damaged file is reported, never fatal.
// EXIF orientation is applied for display only; files keep their bytes.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace qb {

struct PictureResult {
    QImage image;   // null when the picture could not be read
    QString error;  // why, for a status text or a box; empty on success
    bool ok() const { return !image.isNull(); }
};

// The largest picture we decode, in pixels (width x height).
constexpr long long kMaxPicturePixels = 120LL * 1000 * 1000;

// Decodes a picture file. scaleDenom is 1, 2, 4 or 8 and applies to JPEG only.
PictureResult loadPicture(const QString& path, int scaleDenom = 1);

// Decodes picture bytes in memory: JPEG (by its content, whatever the name) through libjpeg,
// anything else through Qt's readers. scaleDenom applies to JPEG only.
PictureResult decodePicture(const QByteArray& bytes, int scaleDenom = 1);

// Decodes JPEG bytes in memory.
PictureResult decodeJpeg(const QByteArray& bytes, int scaleDenom = 1);

// Decodes JPEG bytes at the largest reduction that still fills a box of boxWidth x boxHeight
// well (see thumbnailScaleDenom); the header is read once.
PictureResult decodeJpegToFit(const QByteArray& bytes, int boxWidth, int boxHeight);

// Compresses an image to JPEG bytes in memory (empty on failure).
QByteArray encodeJpeg(const QImage& image, int quality = 90);

// The largest JPEG reduction (1, 2, 4 or 8) that still gives at least `minSide` pixels on the
// side that is fitted into a box of boxWidth x boxHeight.
int thumbnailScaleDenom(int width, int height, int boxWidth, int boxHeight, int minSide = 74);

}  // namespace qb
