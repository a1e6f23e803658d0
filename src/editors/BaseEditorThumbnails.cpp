// The thumbnail strip of an editor frame: one panel per picture of the page's folder, decoded
// when it comes near the visible part of the strip.

#include "program/StaticUnit.h"
#include "editors/BaseEditorUnit.h"
#include "editors/EditorThumbnail.h"
#include "platform/core/Color.h"
#include "platform/files/Files.h"
#include "platform/image/Picture.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"
#include "platform/ui/ImageControl.h"
#include "platform/ui/Timer.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace {

constexpr int kImageOffset = 8;
// Panels this far beyond either edge of the visible part are decoded before they show.
constexpr int kReachRight = 100;
constexpr int kReachLeft = 99;

bool isThumbnailFile(const QString& name) {
    const QString extension = FileExtension(name);
    return extension == QLatin1String("bmp") || extension == QLatin1String("jpg") ||
           extension == QLatin1String("jpeg");
}

// Replaces the buffer's bytes by the file's, keeping the buffer's memory for the next picture.
QString readInto(const QString& path, QByteArray& bytes) {
    bytes.truncate(0);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    const qint64 size = file.size();
    bytes.resize(static_cast<qsizetype>(size));
    const qint64 read = file.read(bytes.data(), size);
    if (read < 0) {
        bytes.truncate(0);
        return file.errorString();
    }
    bytes.truncate(static_cast<qsizetype>(read));
    return {};
}

}  // namespace

void TBaseEditorFrame::ThumbnailTimerTimer() {
    ThumbnailTimer->setEnabled(false);
    BuildThumbnails();
}

QList<QWidget*> TBaseEditorFrame::ThumbnailPanels() const {
    QList<QWidget*> panels =
        ThumbnailScrollBox->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::stable_sort(panels.begin(), panels.end(),
                     [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
    return panels;
}

QWidget* TBaseEditorFrame::makeThumbnail(const QString& name, int index) {
    QWidget* strip = ThumbnailScrollBox->widget();
    auto* panel = new qb::ThumbnailPanelControl(strip);
    panel->setObjectName(QStringLiteral("ThumbnailPanel%1").arg(index));
    panel->setGeometry(index * ThumbnailPanelWidth, 0, ThumbnailPanelWidth, strip->height());
    qb::setHint(panel, fsPictureFolder + name);
    qb::setTag(panel, 0);
    panel->onEnter = [this, panel](Qt::FocusReason reason) {
        ThumbnailTemplatePanelOnEnter(panel, reason);
    };
    panel->onExit = [this, panel] { ThumbnailTemplatePanelOnExit(panel); };
    panel->onClick = [this, panel] { ThumbnailTemplatePanelOnClick(panel); };

    auto* image = new qb::ImageControl(panel);
    image->setObjectName(QStringLiteral("ThumbnailImage"));
    image->setGeometry(kImageOffset, kImageOffset, qb::kThumbnailSide, qb::kThumbnailSide);
    qb::setHint(image, name);
    image->setToolTip(name);
    image->onClick = [this, image] { ThumbnailTemplateImageOnClick(image); };
    panel->show();
    return panel;
}

void TBaseEditorFrame::detachThumbnail(QWidget* panel) {
    if (auto* control = qobject_cast<qb::ThumbnailPanelControl*>(panel)) {
        control->onEnter = nullptr;
        control->onExit = nullptr;
        control->onClick = nullptr;
    }
    for (auto* image : panel->findChildren<qb::ImageControl*>()) {
        image->onClick = nullptr;
    }
}

void TBaseEditorFrame::BuildThumbnails() {
    ClearThumbnails();
    ThumbnailScrollBox->hide();

    QWidget* strip = ThumbnailScrollBox->widget();
    const int reach = ThumbnailScrollBox->width() + kReachRight;
    int index = 0;
    // The folder walk sorts by name: the file system's own order is no order a user knows.
    for (const qb::FileEntry& file : qb::listFiles(fsPictureFolder)) {
        if (!isThumbnailFile(file.name)) {
            continue;
        }
        QWidget* panel = makeThumbnail(file.name, index);
        strip->setMinimumWidth((index + 1) * ThumbnailPanelWidth);
        if (panel->x() < reach) {
            LoadThumbnail(qb::hint(panel), panel->findChild<qb::ImageControl*>());
        } else {
            LoadThumbnailTimer->setEnabled(true);
        }
        if (services_.showThumbnailCaptions()) {
            auto* caption = new qb::ThumbnailCaption(file.name, panel);
            caption->setObjectName(QStringLiteral("ThumbnailCaption"));
            caption->setGeometry(4, 80, 82, 14);
            caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            QPalette palette = caption->palette();
            palette.setColor(QPalette::Window, qb::toQColor(qb::clBackground));
            palette.setColor(QPalette::WindowText, Qt::white);
            caption->setPalette(palette);
            caption->setAutoFillBackground(true);
            caption->show();
        }
        ++index;
    }
    if (index == 0) {
        strip->setMinimumWidth(0);
    }

    ThumbnailScrollBox->show();
    // The strip starts at its first picture, whatever was scrolled before.
    ThumbnailScrollBox->horizontalScrollBar()->setValue(0);
    RefreshImage->show();
    ExploreImage->show();
    FrameResize();
}

void TBaseEditorFrame::ClearThumbnails() {
    // A panel may be cleared from inside its own focus handler (the viewer refreshing the
    // pages): it leaves the strip now and is freed once its event is over.
    const QList<QWidget*> panels = ThumbnailPanels();
    for (auto it = panels.rbegin(); it != panels.rend(); ++it) {
        (*it)->hide();
        (*it)->setParent(nullptr);
        (*it)->deleteLater();
    }
}

void TBaseEditorFrame::layoutThumbnails() {
    const int height = ThumbnailScrollBox->widget()->height();
    for (QWidget* panel : ThumbnailPanels()) {
        panel->resize(panel->width(), height);
    }
}

void TBaseEditorFrame::LoadThumbnailTimerTimer() {
    const int left = ThumbnailScrollBox->widget()->x();
    const int reach = ThumbnailScrollBox->width() + kReachRight;
    bool allDone = true;
    for (QWidget* panel : ThumbnailPanels()) {
        if (qb::tag(panel) == 1) {
            continue;
        }
        const int edge = panel->x() + left;
        if (edge >= -kReachLeft && edge < reach) {
            qb::setTag(panel, 1);
            LoadThumbnail(qb::hint(panel), panel->findChild<qb::ImageControl*>());
        } else {
            allDone = false;
        }
    }
    if (allDone) {
        LoadThumbnailTimer->setEnabled(false);
    }
}

void TBaseEditorFrame::LoadThumbnail(const QString& path, qb::ImageControl* image) {
    if (image == nullptr) {
        return;
    }
    qb::PictureResult picture;
    try {
        if (QFileInfo(path).size() < ThumbnailThreshold) {
            picture = qb::loadPicture(path);
        } else {
            const QString error = LoadPictureAsJpegStream(path);
            picture = error.isEmpty() ? qb::decodeJpegToFit(ThumbnailStream->data(),
                                                            qb::kThumbnailSide, qb::kThumbnailSide)
                                      : qb::PictureResult{QImage(), error};
        }
    } catch (const std::exception& error) {
        // Out of memory for one picture: the strip goes on without it.
        picture = {QImage(), QString::fromLocal8Bit(error.what())};
    }
    image->setPicture(qb::thumbnailPicture(picture.image));
    const QString name = qb::hint(image);
    image->setToolTip(picture.ok() ? name : name + QStringLiteral("\n") + picture.error);
    if (QWidget* panel = image->parentWidget()) {
        qb::setTag(panel, 1);
    }
}

QString TBaseEditorFrame::LoadPictureAsJpegStream(const QString& path) {
    if (!ThumbnailStream) {
        ThumbnailStream = std::make_unique<QBuffer>();
    }
    QByteArray& bytes = ThumbnailStream->buffer();
    const QString extension = FileExtension(path);
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg")) {
        return readInto(path, bytes);
    }
    if (extension == QLatin1String("bmp")) {
        bytes.truncate(0);
        const qb::PictureResult bitmap = qb::loadPicture(path);
        if (!bitmap.ok()) {
            return bitmap.error;
        }
        bytes.append(qb::encodeJpeg(bitmap.image));
        return bytes.isEmpty() ? QStringLiteral("The picture could not be compressed.") : QString();
    }
    return QStringLiteral("Not a picture file.");
}

void TBaseEditorFrame::FrameResize() {
    int total = 0;
    for (const QWidget* panel : ThumbnailPanels()) {
        total += panel->width();
    }
    int height = 114;
    if (total == 0) {
        height = 0;
    } else if (total <= ThumbnailScrollBox->width() - 5) {
        height = 96;
    }
    ThumbnailPanel->setFixedHeight(height);
    // The tool bar stays at the frame's bottom edge through the frame's layout.
}

void TBaseEditorFrame::ThumbnailTemplatePanelOnEnter(QWidget* panel, Qt::FocusReason reason) {
    // The panel gets the focus back whenever its window is activated again; only the user's
    // own move to it opens the viewer, or closing the viewer would open it once more.
    if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
        reason == Qt::BacktabFocusReason) {
        services_.showPicture(qb::hint(panel));
    }
}

void TBaseEditorFrame::ThumbnailTemplatePanelOnExit(QWidget*) {}

void TBaseEditorFrame::ThumbnailTemplatePanelOnClick(QWidget* panel) {
    panel->setFocus(Qt::MouseFocusReason);
}

void TBaseEditorFrame::ThumbnailTemplateImageOnClick(qb::ImageControl* image) {
    // Through the text first, so that the panel's enter event fires even when it had the focus.
    RichEdit->setFocus(Qt::OtherFocusReason);
    if (QWidget* panel = image->parentWidget()) {
        panel->setFocus(Qt::MouseFocusReason);
    }
}
