// Decodes arbitrary bytes as a JPEG at every reduction, as a thumbnail, and as a bitmap through
// the same entry as every picture: nothing may crash, hang, leak or end the process; a picture
// that comes out keeps within the size cap. (Qt's PNG reader is left out: a crafted 300-byte
// PNG keeps it busy for seconds, which says nothing about our code.)

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "platform/image/Picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startFuzzApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int denoms[] = {1, 2, 4, 8};
    const QByteArray input(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    qb::PictureResult picture;
    if (data[0] & 0x80) {
        picture = qb::decodeJpegToFit(input, 74, 74);
    } else if (data[0] & 0x40) {
        picture = qb::decodePicture(QByteArray("BM") + input);
    } else {
        picture = qb::decodeJpeg(input, denoms[data[0] & 3]);
    }
    if (picture.ok() == !picture.error.isEmpty()) {
        abort();  // a result is either a picture or a reason
    }
    if (static_cast<long long>(picture.image.width()) * picture.image.height() >
        qb::kMaxPicturePixels) {
        abort();
    }
    return 0;
}
