#include "platform/image/Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h expects size_t and FILE to be declared before it.
#include <jpeglib.h>

namespace qb {
namespace {

// Coefficient buffers of progressive files are kept at full size whatever the scale; without a
// budget a small file declaring huge dimensions could ask for gigabytes.
constexpr long kJpegMemoryBudget = 1024L * 1024 * 1024;
// A progressive file can hold thousands of tiny scans that each cost a pass over the image.
constexpr int kMaxJpegScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated file, extra bytes) are not worth a line on stderr: the picture is shown
// as far as it could be read.
void quietMessage(j_common_ptr, int) {}
void quietOutput(j_common_ptr) {}

void limitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxJpegScans) {
            std::snprintf(reinterpret_cast<ErrorManager*>(cinfo->err)->message, JMSG_LENGTH_MAX,
                          "The picture has too many scans.");
            std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 2);
        }
    }
}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = quietMessage;
    err.pub.output_message = quietOutput;
    err.message[0] = '\0';
}

// The EXIF orientation (1..8) from an APP1 marker, 1 when there is none or it cannot be read.
int exifOrientation(const jpeg_saved_marker_ptr markers) {
    for (auto m = markers; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 ||
            std::memcmp(m->data, "Exif\0\0", 6) != 0) {
            continue;
        }
        const unsigned char* tiff = m->data + 6;
        const unsigned size = m->data_length - 6;
        const bool little = tiff[0] == 'I' && tiff[1] == 'I';
        if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) {
            return 1;
        }
        auto u16 = [&](unsigned at) -> unsigned {
            return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
        };
        auto u32 = [&](unsigned at) -> unsigned {
            return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
        };
        const unsigned ifd = u32(4);
        if (ifd > size - 2 || ifd + 2 > size) {
            return 1;
        }
        const unsigned count = u16(ifd);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned entry = ifd + 2 + 12 * i;
            if (entry + 12 > size) {
                break;
            }
            if (u16(entry) == 0x0112) {
                const unsigned value = u16(entry + 8);
                return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
            }
        }
        return 1;
    }
    return 1;
}

QImage orientForDisplay(const QImage& image, int orientation) {
    switch (orientation) {
        case 2:
            return image.mirrored(true, false);
        case 3:
            return image.transformed(QTransform().rotate(180));
        case 4:
            return image.mirrored(false, true);
        case 5:
            return image.transformed(QTransform().rotate(90)).mirrored(true, false);
        case 6:
            return image.transformed(QTransform().rotate(90));
        case 7:
            return image.transformed(QTransform().rotate(90)).mirrored(false, true);
        case 8:
            return image.transformed(QTransform().rotate(270));
        default:
            return image;
    }
}

void cmykToRgb(QImage& image, const unsigned char* row, int y, bool inverted) {
    auto* out = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x) {
        int c = row[4 * x], m = row[4 * x + 1], ye = row[4 * x + 2], k = row[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            ye = 255 - ye;
            k = 255 - k;
        }
        out[4 * x] = static_cast<unsigned char>(c * k / 255);
        out[4 * x + 1] = static_cast<unsigned char>(m * k / 255);
        out[4 * x + 2] = static_cast<unsigned char>(ye * k / 255);
        out[4 * x + 3] = 255;
    }
}

// The libjpeg part. Only plain values live in this frame after setjmp, so the jump back skips
// no destructor; the image is owned by the caller.
bool decodeJpegInto(jpeg_decompress_struct* cinfo, ErrorManager* err, const QByteArray& bytes,
                    int scaleDenom, int fitWidth, int fitHeight, QImage* image, int* orientation,
                    QByteArray* cmykRow) {
    if (setjmp(err->jump)) {
        return false;
    }
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kJpegMemoryBudget;
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);

    *orientation = exifOrientation(cinfo->marker_list);
    cinfo->scale_num = 1;
    cinfo->scale_denom = static_cast<unsigned>(scaleDenom);
    if (fitWidth > 0) {
        // Fitted as displayed: a quarter turn swaps the sides.
        const bool turned = *orientation >= 5;
        const auto w = static_cast<int>(turned ? cinfo->image_height : cinfo->image_width);
        const auto h = static_cast<int>(turned ? cinfo->image_width : cinfo->image_height);
        cinfo->scale_denom = static_cast<unsigned>(thumbnailScaleDenom(w, h, fitWidth, fitHeight));
    }
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    jpeg_calc_output_dimensions(cinfo);
    // A file of several scans is kept whole, at full size, while it is read, so its own size
    // counts however far it is reduced; a single-scan file streams and only the output counts.
    const bool wholeFileKept = jpeg_has_multiple_scans(cinfo);
    const long long kept = wholeFileKept
                               ? static_cast<long long>(cinfo->image_width) * cinfo->image_height
                               : static_cast<long long>(cinfo->output_width) * cinfo->output_height;
    if (kept > kMaxPicturePixels) {
        std::snprintf(err->message, JMSG_LENGTH_MAX, "The picture is too large (%u x %u).",
                      wholeFileKept ? cinfo->image_width : cinfo->output_width,
                      wholeFileKept ? cinfo->image_height : cinfo->output_height);
        return false;
    }

    *image = QImage(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                    QImage::Format_RGBX8888);
    if (image->isNull()) {
        std::snprintf(err->message, JMSG_LENGTH_MAX, "Not enough memory for the picture.");
        return false;
    }
    if (cmyk) {
        cmykRow->resize(static_cast<qsizetype>(cinfo->output_width) * 4);
    }
    jpeg_start_decompress(cinfo);
    const bool inverted = cmyk && cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = static_cast<int>(cinfo->output_scanline);
        JSAMPROW row = cmyk ? reinterpret_cast<JSAMPROW>(cmykRow->data()) : image->scanLine(y);
        jpeg_read_scanlines(cinfo, &row, 1);
        if (cmyk) {
            cmykToRgb(*image, row, y, inverted);
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

PictureResult decodeJpegImpl(const QByteArray& bytes, int scaleDenom, int fitWidth, int fitHeight) {
    if (scaleDenom != 1 && scaleDenom != 2 && scaleDenom != 4 && scaleDenom != 8) {
        scaleDenom = 1;
    }
    if (bytes.isEmpty()) {
        return {QImage(), QStringLiteral("The picture file is empty.")};
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    installErrorManager(err);
    cinfo.err = &err.pub;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    QImage image;
    QByteArray cmykRow;
    int orientation = 1;
    cinfo.progress = &progress;
    const bool ok = decodeJpegInto(&cinfo, &err, bytes, scaleDenom, fitWidth, fitHeight, &image,
                                   &orientation, &cmykRow);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        return {QImage(), QString::fromLocal8Bit(err.message)};
    }
    return {orientForDisplay(image, orientation), QString()};
}

bool isJpeg(const QByteArray& bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

PictureResult decodeWithQt(const QByteArray& bytes) {
    // Qt refuses anything above 128 MB by default, which a real 50-megapixel photo exceeds; our
    // own cap on the pixel count is checked below before any decode.
    static const bool limitSet = [] {
        QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) +
                                         1);
        return true;
    }();
    (void)limitSet;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() &&
        static_cast<long long>(size.width()) * size.height() > kMaxPicturePixels) {
        return {QImage(), QStringLiteral("The picture is too large (%1 x %2).")
                              .arg(size.width())
                              .arg(size.height())};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {QImage(), reader.errorString()};
    }
    return {image, QString()};
}

// Compression side of the libjpeg calls; `out` and `size` are filled by libjpeg's memory
// destination and freed by the caller in every case.
bool encodeJpegInto(jpeg_compress_struct* cinfo, ErrorManager* err, const QImage* rgb, int quality,
                    unsigned char** out, unsigned long* size) {
    if (setjmp(err->jump)) {
        return false;
    }
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, out, size);
    cinfo->image_width = static_cast<JDIMENSION>(rgb->width());
    cinfo->image_height = static_cast<JDIMENSION>(rgb->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb->constScanLine(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

PictureResult decodeJpeg(const QByteArray& bytes, int scaleDenom) {
    return decodeJpegImpl(bytes, scaleDenom, 0, 0);
}

PictureResult decodeJpegToFit(const QByteArray& bytes, int boxWidth, int boxHeight) {
    return decodeJpegImpl(bytes, 1, boxWidth, boxHeight);
}

PictureResult decodePicture(const QByteArray& bytes, int scaleDenom) {
    if (isJpeg(bytes)) {
        return decodeJpeg(bytes, scaleDenom);
    }
    if (bytes.isEmpty()) {
        return {QImage(), QStringLiteral("The picture file is empty.")};
    }
    return decodeWithQt(bytes);
}

PictureResult loadPicture(const QString& path, int scaleDenom) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QImage(), file.errorString()};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {QImage(), file.errorString()};
    }
    return decodePicture(bytes, scaleDenom);
}

QByteArray encodeJpeg(const QImage& image, int quality) {
    if (image.isNull()) {
        return {};
    }
    QImage rgb = image;
    if (image.hasAlphaChannel()) {
        // A transparent area would come out black; put it on white as a viewer would.
        rgb = QImage(image.size(), QImage::Format_RGB888);
        rgb.fill(Qt::white);
        QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            auto* dst = rgb.scanLine(y);
            for (int x = 0; x < rgb.width(); ++x) {
                const int inv = 255 - qAlpha(src[x]);
                dst[3 * x] = static_cast<unsigned char>(qRed(src[x]) + inv);
                dst[3 * x + 1] = static_cast<unsigned char>(qGreen(src[x]) + inv);
                dst[3 * x + 2] = static_cast<unsigned char>(qBlue(src[x]) + inv);
            }
        }
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB888);
    }
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    installErrorManager(err);
    cinfo.err = &err.pub;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool ok = encodeJpegInto(&cinfo, &err, &rgb, quality, &out, &size);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes;
    if (ok && out) {
        bytes = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    }
    std::free(out);
    return bytes;
}

int thumbnailScaleDenom(int width, int height, int boxWidth, int boxHeight, int minSide) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) {
        return 1;
    }
    // The side that meets the box's edge when the picture is fitted keeping its proportions.
    const bool widthBinds =
        static_cast<long long>(width) * boxHeight >= static_cast<long long>(height) * boxWidth;
    const int side = widthBinds ? width : height;
    for (int denom : {8, 4, 2}) {
        if ((side + denom - 1) / denom >= minSide) {
            return denom;
        }
    }
    return 1;
}

}  // namespace qb
