#include "platform/image/Picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

namespace {

// A picture with a different colour in each quarter, so that turns and mirrors show.
QImage quarters(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

QByteArray saved(const QImage& image, const char* format, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality));
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

void putBig16(QByteArray& bytes, qsizetype at, int value) {
    bytes[at] = static_cast<char>(value >> 8);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

QByteArray progressive(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPG");
    writer.setProgressiveScanWrite(true);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

// Makes the JPEG's frame header declare other dimensions; the data stays that of the small one.
QByteArray withDeclaredSize(QByteArray jpeg, int width, int height) {
    qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0) {
        sof = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
    }
    EXPECT_GT(sof, 0);
    putBig16(jpeg, sof + 5, height);
    putBig16(jpeg, sof + 7, width);
    return jpeg;
}

// An EXIF block holding only the orientation tag, big-endian, put right after the start marker.
QByteArray withOrientation(const QByteArray& jpeg, int orientation) {
    QByteArray tiff("MM\0\x2A\0\0\0\x08", 8);
    tiff += QByteArray("\0\x01", 2);                    // one entry
    tiff += QByteArray("\x01\x12\0\x03\0\0\0\x01", 8);  // orientation, SHORT, count 1
    tiff += QByteArray(1, '\0') + char(orientation) + QByteArray(2, '\0');
    tiff += QByteArray(4, '\0');  // no next directory
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1\0\0", 4);
    putBig16(app1, 2, static_cast<int>(payload.size() + 2));
    return jpeg.left(2) + app1 + payload + jpeg.mid(2);
}

bool near(QRgb a, QColor b) {
    return std::abs(qRed(a) - b.red()) < 40 && std::abs(qGreen(a) - b.green()) < 40 &&
           std::abs(qBlue(a) - b.blue()) < 40;
}

TEST(Picture, JpegDecodesAtEachScaleWithLibjpegRounding) {
    const QByteArray jpeg = saved(quarters(801, 600), "JPG");
    struct Case {
        int denom;
        QSize size;
    };
    for (const Case c :
         {Case{1, {801, 600}}, Case{2, {401, 300}}, Case{4, {201, 150}}, Case{8, {101, 75}}}) {
        const qb::PictureResult r = qb::decodeJpeg(jpeg, c.denom);
        ASSERT_TRUE(r.ok()) << c.denom << " " << r.error.toStdString();
        EXPECT_EQ(r.image.size(), c.size) << c.denom;
        EXPECT_TRUE(near(r.image.pixel(2, 2), Qt::red)) << c.denom;
        EXPECT_TRUE(near(r.image.pixel(r.image.width() - 3, r.image.height() - 3), Qt::yellow));
    }
}

TEST(Picture, DamagedFilesAreReportedNeverFatal) {
    QTemporaryDir dir;
    const QByteArray jpeg = saved(quarters(64, 64), "JPG");
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"zero bytes", QByteArray()},
        {"headers cut before the image data", jpeg.left(100)},
        {"start marker then noise", QByteArray("\xFF\xD8\xFF", 3) + QByteArray(500, '\x5A')},
        {"not a picture at all", QByteArray("hello, this is text\n")},
        {"BMP header only", saved(quarters(16, 16), "BMP").left(30)},
    };
    for (const Case& c : cases) {
        const QString path = writeFile(dir, "p.jpg", c.bytes);
        const qb::PictureResult r = qb::loadPicture(path, 8);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_FALSE(r.error.isEmpty()) << c.what;
    }
    const qb::PictureResult vanished = qb::loadPicture(dir.filePath("gone.jpg"));
    EXPECT_FALSE(vanished.ok());
    EXPECT_FALSE(vanished.error.isEmpty());
}

TEST(Picture, TruncatedJpegShowsWhatWasRead) {
    const QByteArray jpeg = saved(quarters(256, 256), "JPG");
    const qb::PictureResult r = qb::decodeJpeg(jpeg.left(jpeg.size() / 2));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.image.size(), QSize(256, 256));
    EXPECT_TRUE(near(r.image.pixel(5, 5), Qt::red));
}

TEST(Picture, HugeDeclaredDimensionsAreRefusedBeforeDecoding) {
    QTemporaryDir dir;
    QByteArray bmp = saved(quarters(8, 8), "BMP");
    const qint32 side = 60000;  // little-endian width and height in the info header
    std::memcpy(bmp.data() + 18, &side, 4);
    std::memcpy(bmp.data() + 22, &side, 4);
    const QString files[] = {
        writeFile(dir, "huge.jpg", withDeclaredSize(saved(quarters(8, 8), "JPG"), 60000, 60000)),
        writeFile(dir, "huge.bmp", bmp),
    };
    for (const QString& path : files) {
        const qb::PictureResult r = qb::loadPicture(path);
        EXPECT_FALSE(r.ok()) << path.toStdString();
        EXPECT_FALSE(r.error.isEmpty()) << path.toStdString();
    }
    EXPECT_TRUE(qb::loadPicture(files[0]).error.contains("60000 x 60000"));

    // At 1/8 a single-scan file streams and only its output counts; a progressive one is kept
    // whole at full size while it is read, so its declared size is refused however reduced.
    const QByteArray baseline = withDeclaredSize(saved(quarters(8, 8), "JPG"), 12000, 12000);
    const qb::PictureResult reduced = qb::decodeJpeg(baseline, 8);
    ASSERT_TRUE(reduced.ok()) << reduced.error.toStdString();
    EXPECT_EQ(reduced.image.size(), QSize(1500, 1500));
    const QByteArray several = withDeclaredSize(progressive(quarters(64, 64)), 12000, 12000);
    ASSERT_TRUE(qb::decodeJpeg(progressive(quarters(64, 64))).ok());
    const qb::PictureResult refused = qb::decodeJpeg(several, 8);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.contains("12000 x 12000")) << refused.error.toStdString();
}

TEST(Picture, BitmapsAndOtherFormatsGoThroughQt) {
    QTemporaryDir dir;
    const QImage original = quarters(30, 20);
    for (const char* format : {"BMP", "PNG"}) {
        // The content decides, not the name: a PNG called .jpg still opens.
        const QString path = writeFile(dir, QString("x.jpg"), saved(original, format));
        const qb::PictureResult r = qb::loadPicture(path, 8);
        ASSERT_TRUE(r.ok()) << format << " " << r.error.toStdString();
        EXPECT_EQ(r.image.convertToFormat(QImage::Format_RGB32), original) << format;
    }
}

TEST(Picture, EncodedBitmapDecodesAtOneEighth) {
    const QImage original = quarters(640, 480);
    const QByteArray jpeg = qb::encodeJpeg(original);
    ASSERT_FALSE(jpeg.isEmpty());
    const qb::PictureResult r = qb::decodeJpeg(jpeg, 8);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.image.size(), QSize(80, 60));
    EXPECT_TRUE(near(r.image.pixel(2, 2), Qt::red));
    EXPECT_TRUE(near(r.image.pixel(77, 57), Qt::yellow));
    EXPECT_TRUE(qb::encodeJpeg(QImage()).isEmpty());
}

TEST(Picture, CmykJpegComesOutInItsColours) {
    // 16 x 8, red on the left half and blue on the right, CMYK with an Adobe marker.
    const qb::PictureResult r = qb::loadPicture(QStringLiteral(QB_TEST_DATA_DIR "/cmyk.jpg"));
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.image.size(), QSize(16, 8));
    EXPECT_TRUE(near(r.image.pixel(2, 4), Qt::red)) << std::hex << r.image.pixel(2, 4);
    EXPECT_TRUE(near(r.image.pixel(13, 4), Qt::blue)) << std::hex << r.image.pixel(13, 4);
}

TEST(Picture, ExifOrientationTurnsForDisplay) {
    const QByteArray jpeg = saved(quarters(40, 20), "JPG");
    struct Case {
        int orientation;
        QSize size;
        QColor topLeft, topRight;
    };
    const Case cases[] = {
        {1, {40, 20}, Qt::red, Qt::green},    {2, {40, 20}, Qt::green, Qt::red},
        {3, {40, 20}, Qt::yellow, Qt::blue},  {4, {40, 20}, Qt::blue, Qt::yellow},
        {5, {20, 40}, Qt::red, Qt::blue},     {6, {20, 40}, Qt::blue, Qt::red},
        {7, {20, 40}, Qt::yellow, Qt::green}, {8, {20, 40}, Qt::green, Qt::yellow},
    };
    for (const Case& c : cases) {
        const qb::PictureResult r = qb::decodeJpeg(withOrientation(jpeg, c.orientation));
        ASSERT_TRUE(r.ok()) << c.orientation << " " << r.error.toStdString();
        EXPECT_EQ(r.image.size(), c.size) << c.orientation;
        EXPECT_TRUE(near(r.image.pixel(2, 2), c.topLeft)) << c.orientation;
        EXPECT_TRUE(near(r.image.pixel(r.image.width() - 3, 2), c.topRight)) << c.orientation;
    }
}

TEST(Picture, ThumbnailScaleKeepsTheFittedSideAtLeast74) {
    struct Case {
        int width, height, denom;
    };
    const Case cases[] = {
        {4000, 3000, 8}, {592, 400, 8}, {584, 400, 4}, {400, 584, 4},  {148, 148, 2},
        {146, 146, 1},   {60, 60, 1},   {80, 2000, 8}, {2000, 500, 8}, {0, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qb::thumbnailScaleDenom(c.width, c.height, 74, 74), c.denom)
            << c.width << "x" << c.height;
    }
    const qb::PictureResult fit = qb::decodeJpegToFit(saved(quarters(600, 300), "JPG"), 74, 74);
    ASSERT_TRUE(fit.ok());
    EXPECT_EQ(fit.image.size(), QSize(75, 38));
}

}  // namespace
