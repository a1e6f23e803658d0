#include "tools/PictureImporter.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <utility>

#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "store/DayRows.h"

namespace qb {

namespace {

// The day key of a listed "mm/dd/yyyy" date; "" when the text is no date.
QString keyOfListedDate(const QString& date) {
    static const QRegularExpression shape(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$"));
    if (!shape.match(date).hasMatch()) {
        return {};
    }
    return date.mid(6, 4) + date.mid(0, 2) + date.mid(3, 2);
}

}  // namespace

PictureImporter::PictureImporter(PictureImportOptions options, PictureImportObserver& observer)
    : options_(std::move(options)), observer_(observer) {}

PictureImporter::Outcome PictureImporter::importPictures() {
    Outcome outcome;
    for (const ImportPicture& picture : options_.pictures) {
        if (!importPicture(picture)) {
            ++outcome.failed;
        }
        if (!observer_.goOn()) {
            outcome.stopped = true;
            break;
        }
    }
    // The copies wait for the disk together, once, instead of one by one; a disk that fails
    // here raises, and nothing claims the pictures are safe.
    if (!copiedInto_.isEmpty()) {
        syncFileSystem(copiedInto_);
    }
    return outcome;
}

QString PictureImporter::targetFolder(const ImportPicture& picture) {
    const PictureTarget target = observer_.pictureTarget();
    QString key;
    if (target.kind == PictureTarget::Kind::FileDate) {
        key = keyOfListedDate(picture.date);
        if (key.isEmpty()) {
            return {};
        }
    } else if (target.kind == PictureTarget::Kind::OneDay) {
        key = DateToKey(target.day);
    }
    if (!key.isEmpty()) {
        makeDayRow(key);
        return DayPictureFolderIn(options_.pictureFolder, key);
    }
    // A typed name must stay one folder inside the documents' folder.
    if (!isPlainFileName(target.document)) {
        return {};
    }
    return DocumentPictureFolderIn(options_.pictureFolder, target.document);
}

void PictureImporter::makeDayRow(const QString& key) {
    TDataModule1* store = options_.store;
    if (options_.readOnly || !store || LocateDayEntry(store->EntryTable, key)) {
        return;
    }
    InsertDayEntry(store->EntryTable, key);
    store->MarkMonthDay(key);
    observer_.dayRowMade(key);
}

bool PictureImporter::importPicture(const ImportPicture& picture) {
    const QString target = targetFolder(picture);
    if (target.isEmpty()) {
        observer_.pictureDone();
        return false;
    }
    try {
        forceDirectories(target);
    } catch (const FileError&) {
        observer_.pictureDone();
        return false;
    }
    sweep_.before(target);  // what an import stopped half way left there
    observer_.pictureStarted(picture.name);

    const QString source = options_.folder + u'/' + picture.name;
    const QString copy = target + picture.name;
    if (QFileInfo::exists(copy)) {
        if (sameFile(source, copy)) {
            observer_.pictureDone();  // the picture already is in its folder
            return true;
        }
        if (!observer_.replaceExisting(picture.name)) {
            return true;
        }
    }
    bool copied = true;
    try {
        copyFileSafely(source, copy, FileSync::Later);
        copiedInto_ = target;
    } catch (const FileError&) {
        copied = false;
    }
    observer_.pictureDone();
    return copied;
}

}  // namespace qb
