// The thumbnail strip of an editor frame, with real picture files made in the test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "EditorTestSupport.h"
#include "editors/DayEditorUnit.h"
#include "editors/EditorThumbnail.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/Timer.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"

namespace {

const char kRtf[] = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Pictures\\par}";

// Red on the left half, blue on the right, so a thumbnail shows which way round it is.
QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

bool isBroken(const qb::ImageControl* image) {
    return image->picture().toImage() == qb::brokenThumbnailPicture().toImage();
}

class ThumbnailStripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = dir.path() + QStringLiteral("/");
        frame = std::make_unique<TDayEditorFrame>(nullptr, recorded.services());
        frame->LoadEntry(QStringLiteral("20050305"), kRtf);
        frame->SetPictureFolder(folder);
    }

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(folder + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Shows the frame with a strip of the given width and builds the strip.
    void build(int width) {
        frame->resize(width, 400);
        frame->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(frame->ThumbnailScrollBox->width(), width);
        frame->BuildThumbnails();
        QCoreApplication::processEvents();
    }

    std::vector<int> decoded() const {
        std::vector<int> done;
        const QList<QWidget*> panels = frame->ThumbnailPanels();
        for (int i = 0; i < panels.size(); ++i) {
            if (qb::tag(panels[i]) == 1) {
                done.push_back(i);
            }
        }
        return done;
    }

    qb::ImageControl* imageOf(int index) const {
        return frame->ThumbnailPanels().at(index)->findChild<qb::ImageControl*>();
    }

    ProgramState state;
    qb::ScriptedDialogs dialogs;
    qb::ManualClock clock;
    RecordedServices recorded;
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<TDayEditorFrame> frame;
};

TEST_F(ThumbnailStripTest, PicturesOfTheFolderOnlyInNameOrderWithCaptions) {
    const QByteArray jpeg = encoded(halves(40, 30), "JPG");
    write("c.bmp", encoded(halves(40, 30), "BMP"));
    write("A.JPG", jpeg);
    write("b.jpeg", jpeg);
    write("d.gif", jpeg);
    write(".hidden.jpg", jpeg);
    ASSERT_TRUE(QDir(folder).mkdir("e.jpg"));
    build(600);

    const QList<QWidget*> panels = frame->ThumbnailPanels();
    ASSERT_EQ(panels.size(), 4);
    const char* names[] = {".hidden.jpg", "A.JPG", "b.jpeg", "c.bmp"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(panels[i]->geometry(), QRect(90 * i, 0, 90, 96)) << i;
        EXPECT_EQ(qb::hint(panels[i]), folder + names[i]);
        auto* image = panels[i]->findChild<qb::ImageControl*>();
        EXPECT_EQ(image->geometry(), QRect(8, 8, 74, 74));
        EXPECT_EQ(image->toolTip(), names[i]);
        auto* caption = panels[i]->findChild<QLabel*>();
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), names[i]);
        EXPECT_EQ(caption->geometry(), QRect(4, 80, 82, 14));
        // Proportional: 40 x 30 fills the width, at the top left.
        EXPECT_EQ(image->picture().size(), QSize(74, 55)) << i;
        const QImage shown = image->picture().toImage();
        EXPECT_GT(qRed(shown.pixel(5, 5)), 200) << i;
        EXPECT_GT(qBlue(shown.pixel(68, 50)), 200) << i;
    }
    EXPECT_EQ(frame->ThumbnailPanel->height(), 96);
    EXPECT_TRUE(frame->RefreshImage->isVisible());
    EXPECT_TRUE(frame->ExploreImage->isVisible());

    // Without captions there are no labels; a refresh sees files added since.
    recorded.showCaptions = false;
    write("f.jpg", jpeg);
    QTest::mouseClick(frame->RefreshImage, Qt::LeftButton, {}, QPoint(8, 8));
    QCoreApplication::processEvents();
    ASSERT_EQ(frame->ThumbnailPanels().size(), 5);
    for (QWidget* panel : frame->ThumbnailPanels()) {
        EXPECT_EQ(panel->findChild<QLabel*>(), nullptr);
    }
    EXPECT_EQ(frame->ThumbnailPanel->height(), 96);
}

// A caption draws its file name as a file name: a right-to-left base name reads in its own
// direction and the extension follows it on the right, whatever the script.
TEST_F(ThumbnailStripTest, CaptionsDrawTheNameThenTheExtension) {
    const QByteArray jpeg = encoded(halves(40, 30), "JPG");
    const QString names[] = {QString::fromUtf8("שלום.jpg"), QString::fromUtf8("سلام.jpg"),
                             QStringLiteral("Walk.jpg")};
    for (const QString& name : names) {
        write(name, jpeg);
    }
    build(600);
    const QList<QWidget*> panels = frame->ThumbnailPanels();
    ASSERT_EQ(panels.size(), 3);
    for (QWidget* panel : panels) {
        auto* caption = panel->findChild<QLabel*>();
        ASSERT_NE(caption, nullptr);
        const QString name = caption->text();
        const QString base = name.left(name.lastIndexOf(u'.'));
        // The base name alone, drawn by a plain label of the same look beside it, at the left
        // edge whatever its direction.
        QLabel alone(base, panel);
        alone.setAlignment(caption->alignment() | Qt::AlignAbsolute);
        alone.setGeometry(caption->geometry());
        alone.setPalette(caption->palette());
        alone.setAutoFillBackground(true);
        const QImage shown = caption->grab().toImage();
        const QImage reference = alone.grab().toImage();
        const int width = caption->fontMetrics().horizontalAdvance(base);
        const QRgb background = shown.pixel(shown.width() - 1, 0);
        bool sameBase = true;
        for (int x = 0; x + 1 < width; ++x) {
            for (int y = 0; y < shown.height(); ++y) {
                sameBase = sameBase && shown.pixel(x, y) == reference.pixel(x, y);
            }
        }
        bool extensionRight = false;
        for (int x = width + 1; x < shown.width(); ++x) {
            for (int y = 0; y < shown.height(); ++y) {
                extensionRight = extensionRight || shown.pixel(x, y) != background;
            }
        }
        EXPECT_TRUE(sameBase) << name.toStdString();
        EXPECT_TRUE(extensionRight) << name.toStdString();
    }
}

TEST_F(ThumbnailStripTest, OnlyPanelsWithinReachAreDecodedUntilScrolledNear) {
    const QByteArray jpeg = encoded(halves(40, 30), "JPG");
    for (int i = 0; i < 10; ++i) {
        write(QStringLiteral("p%1.jpg").arg(i), jpeg);
    }
    build(400);
    // Left edges 0 to 450 lie below 400 + 100.
    EXPECT_EQ(decoded(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(frame->LoadThumbnailTimer->isEnabled());
    EXPECT_TRUE(frame->ThumbnailPanels().at(6)->findChild<qb::ImageControl*>()->picture().isNull());

    clock.advance(500);
    EXPECT_EQ(decoded().size(), 6u) << "nothing came nearer";

    // Scrolled by 300: panel 8 starts at 420 < 500, panel 9 at 510.
    frame->ThumbnailScrollBox->horizontalScrollBar()->setValue(300);
    QCoreApplication::processEvents();
    clock.advance(499);
    EXPECT_EQ(decoded().size(), 6u) << "the timer's 500 ms are not up";
    clock.advance(1);
    EXPECT_EQ(decoded(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(frame->LoadThumbnailTimer->isEnabled());

    frame->ThumbnailScrollBox->horizontalScrollBar()->setValue(500);
    QCoreApplication::processEvents();
    clock.advance(500);
    EXPECT_EQ(decoded().size(), 10u);
    EXPECT_FALSE(frame->LoadThumbnailTimer->isEnabled()) << "stops once every panel is done";
    EXPECT_FALSE(imageOf(9)->picture().isNull());
}

TEST_F(ThumbnailStripTest, StripHeightFollowsTheTotalWidthOfThePanels) {
    const QByteArray jpeg = encoded(halves(8, 8), "JPG");
    for (int i = 0; i < 10; ++i) {
        write(QStringLiteral("p%1.jpg").arg(i), jpeg);
    }
    struct Case {
        int width;
        int height;
    };
    for (const Case c : {Case{905, 96}, Case{904, 114}}) {
        build(c.width);
        EXPECT_EQ(frame->ThumbnailPanel->height(), c.height) << c.width;
    }
    for (int i = 0; i < 10; ++i) {
        QFile::remove(folder + QStringLiteral("p%1.jpg").arg(i));
    }
    build(600);
    EXPECT_TRUE(frame->ThumbnailPanels().isEmpty());
    EXPECT_EQ(frame->ThumbnailPanel->height(), 0);
    EXPECT_TRUE(frame->RefreshImage->isVisible()) << "the buttons show once the strip was built";
}

TEST_F(ThumbnailStripTest, FilesFrom8000BytesAreMadeIntoJpegAndDecodedReduced) {
    // A bitmap padded to an exact size: its reader ignores the bytes after the pixels.
    QByteArray bmp = encoded(halves(40, 40), "BMP");
    ASSERT_LT(bmp.size(), 7999);
    const QByteArray big = encoded(halves(1600, 1200), "JPG");
    ASSERT_GE(big.size(), 8000);
    struct Case {
        const char* name;
        QByteArray bytes;
        bool throughStream;
    };
    const Case cases[] = {
        {"small.bmp", bmp + QByteArray(7999 - bmp.size(), '\0'), false},
        {"exact.bmp", bmp + QByteArray(8000 - bmp.size(), '\0'), true},
        {"big.jpg", big, true},
    };
    build(600);
    for (const Case& c : cases) {
        write(c.name, c.bytes);
        frame->ThumbnailStream->buffer().clear();
        auto image = std::make_unique<qb::ImageControl>();
        frame->LoadThumbnail(folder + c.name, image.get());
        const QByteArray& stream = frame->ThumbnailStream->data();
        EXPECT_EQ(stream.startsWith("\xFF\xD8\xFF"), c.throughStream) << c.name;
        if (QByteArray(c.name).endsWith(".jpg")) {
            EXPECT_EQ(stream, c.bytes) << "the file's own bytes";
        }
        const QImage shown = image->picture().toImage();
        ASSERT_EQ(shown.width(), 74) << c.name;
        EXPECT_GT(qRed(shown.pixel(5, 5)), 200) << c.name;
        EXPECT_GT(qBlue(shown.pixel(68, shown.height() - 5)), 200) << c.name;
    }
}

TEST_F(ThumbnailStripTest, DamagedOrVanishedPicturesShowAPlaceholderAndTheStripGoesOn) {
    const QByteArray good = encoded(halves(800, 600), "JPG");
    write("1 good.jpg", good);
    write("2 empty.jpg", QByteArray());
    write("3 noise.jpg", QByteArray("\xFF\xD8\xFF", 3) + QByteArray(9000, '\x33'));
    write("4 broken.bmp", QByteArray("BM") + QByteArray(9000, '\x7F'));
    write("5 truncated.jpg", good.left(good.size() / 2));
    write("6 good.jpg", good);
    write("7 later.jpg", good);
    build(400);  // panels 0 to 5 at once, panel 6 at 540 later

    ASSERT_EQ(frame->ThumbnailPanels().size(), 7);
    EXPECT_EQ(decoded(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    const bool broken[] = {false, true, true, true, false, false};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(isBroken(imageOf(i)), broken[i]) << i;
        EXPECT_EQ(imageOf(i)->toolTip().contains('\n'), broken[i]) << "says why: " << i;
    }
    EXPECT_EQ(frame->ThumbnailPanel->height(), 114);
    EXPECT_TRUE(dialogs.shown.empty()) << "no box from a paint or timer";

    ASSERT_TRUE(QFile::remove(folder + "7 later.jpg"));
    frame->ThumbnailScrollBox->horizontalScrollBar()->setValue(200);
    QCoreApplication::processEvents();
    clock.advance(500);
    EXPECT_TRUE(isBroken(imageOf(6)));
    EXPECT_FALSE(frame->LoadThumbnailTimer->isEnabled()) << "a failed panel is not tried again";
}

TEST_F(ThumbnailStripTest, ClickOpensTheViewerOnlyWhenTheUserMovesToAThumbnail) {
    const QByteArray jpeg = encoded(halves(40, 30), "JPG");
    write("a.jpg", jpeg);
    write("b.jpg", jpeg);
    build(600);
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

    QTest::mouseClick(imageOf(1), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(recorded.shownPictures, (std::vector<QString>{folder + "b.jpg"}));
    // Again on the same picture: through the text, so the panel's enter fires once more.
    QTest::mouseClick(imageOf(1), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(recorded.shownPictures.size(), 2u);
    // The panel around the image: it already has the focus, so nothing new opens.
    QWidget* panel = frame->ThumbnailPanels().at(1);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(86, 90));
    EXPECT_EQ(recorded.shownPictures.size(), 2u);
    QTest::mouseClick(frame->ThumbnailPanels().at(0), Qt::LeftButton, {}, QPoint(86, 90));
    EXPECT_EQ(recorded.shownPictures.back(), folder + "a.jpg");

    struct Case {
        Qt::FocusReason reason;
        bool opens;
    };
    for (const Case c :
         {Case{Qt::MouseFocusReason, true}, Case{Qt::TabFocusReason, true},
          Case{Qt::BacktabFocusReason, true}, Case{Qt::ActiveWindowFocusReason, false},
          Case{Qt::PopupFocusReason, false}, Case{Qt::OtherFocusReason, false}}) {
        recorded.shownPictures.clear();
        frame->ThumbnailTemplatePanelOnEnter(panel, c.reason);
        EXPECT_EQ(recorded.shownPictures.size(), c.opens ? 1u : 0u) << c.reason;
    }
}

}  // namespace
