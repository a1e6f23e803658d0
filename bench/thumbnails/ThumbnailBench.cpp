// Thumbnails of a 12-megapixel photograph: the strip's reduced decode against a full libjpeg
// decode (and a full decode then a resize, the obvious road) of the same file in the same run;
// then a page's strip of 200 such pictures built and scrolled once to its end.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include "support/Offscreen.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "editors/DayEditorUnit.h"
#include "editors/EditorThumbnail.h"
#include "platform/image/Picture.h"
#include "platform/ui/Components.h"
#include "platform/ui/Timer.h"

namespace {

// A photograph-like picture: smooth gradients with fine noise, so the JPEG has the size and
// the entropy of a real camera file.
QImage photograph(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(0.5, QColor(230, 200, 150));
    sky.setColorAt(1, QColor(30, 110, 40));
    p.fillRect(image.rect(), sky);
    p.end();
    QRandomGenerator random(12);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = static_cast<int>(random.bounded(24)) - 12;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    return image;
}

// The median of runs of work, in milliseconds.
double medianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");
    const QString photo = folder + QStringLiteral("photo.jpg");
    {
        QFile file(photo);
        file.open(QIODevice::WriteOnly);
        file.write(qb::encodeJpeg(photograph(4000, 3000), 90));
    }
    std::printf("12 MP baseline JPEG, 4000 x 3000, %.2f MB\n",
                static_cast<double>(QFile(photo).size()) / 1e6);

    const int runs = 9;
    const double full = medianMs(runs, [&] { qb::decodeJpeg(readFile(photo), 1); });
    const double fullResize =
        medianMs(runs, [&] { qb::thumbnailPicture(qb::decodeJpeg(readFile(photo), 1).image); });
    QByteArray reused;
    const double strip = medianMs(runs, [&] {
        QFile file(photo);
        file.open(QIODevice::ReadOnly);
        reused.resize(static_cast<qsizetype>(file.size()));
        file.read(reused.data(), file.size());
        qb::thumbnailPicture(
            qb::decodeJpegToFit(reused, qb::kThumbnailSide, qb::kThumbnailSide).image);
    });
    std::printf("full libjpeg decode:              %7.1f ms\n", full);
    std::printf("full decode, then fitted to 74:   %7.1f ms\n", fullResize);
    std::printf("strip's thumbnail (1/8 decode):   %7.1f ms  = %.2fx of the full decode\n", strip,
                strip / full);

    // A page with 200 such pictures (links to one file: the disk holds one copy, and every
    // read comes from the page cache as it would after the first look at a folder).
    const QString pictures = folder + QStringLiteral("page/");
    QDir().mkpath(pictures);
    for (int i = 0; i < 200; ++i) {
        QFile::link(photo, pictures + QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    }
    TDayEditorFrame frame;
    frame.LoadEntry(QStringLiteral("20050305"), "{\\rtf1 Pictures\\par}");
    frame.SetPictureFolder(pictures);
    frame.resize(1000, 600);
    frame.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    frame.BuildThumbnails();
    const double build = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QCoreApplication::processEvents();
    int atOnce = 0;
    for (const QWidget* panel : frame.ThumbnailPanels()) {
        atOnce += qb::tag(panel);
    }
    QScrollBar* bar = frame.ThumbnailScrollBox->horizontalScrollBar();
    timer.restart();
    int ticks = 0;
    while (frame.LoadThumbnailTimer->isEnabled()) {
        bar->setValue(bar->value() + frame.ThumbnailScrollBox->width());
        QCoreApplication::processEvents();
        frame.LoadThumbnailTimerTimer();
        ++ticks;
    }
    const double scroll = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("strip of 200 pictures, 1000 px wide: build %.0f ms (%d decoded at once)\n", build,
                atOnce);
    std::printf(
        "scrolled once to its end: %d timer ticks, %.0f ms of decoding, %.1f ms a picture\n", ticks,
        scroll, scroll / (200 - atOnce));
    return 0;
}
