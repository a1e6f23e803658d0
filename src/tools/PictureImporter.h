#pragma once
// The picture import without a window: copies listed picture files into the picture folder of
// a day (each file's own date, or one chosen date) or of a document. A day without an Entry row
// gets an empty row and its month mark, so the calendars show it.
//
// A copy never replaces its own source, replaces another file of its name only when the
// observer says so, and goes through a temporary file and a rename; what an import stopped half
// way left in a target folder is swept first. The files that could not be copied are counted,
// and the folder copied into is synced once at the end. Where each picture goes, the question
// before a replace and whether to go on come from an observer (the import window), which also
// hears how far the import is.

#include "platform/files/Files.h"

#include <QDate>
#include <QString>

#include <vector>

class TDataModule1;

namespace qb {

// One listed picture: its file name in the folder and its listed date "mm/dd/yyyy".
struct ImportPicture {
    QString name;
    QString date;
};

// Where a picture goes.
struct PictureTarget {
    enum class Kind { FileDate, OneDay, Document };
    Kind kind = Kind::FileDate;
    QDate day;         // OneDay: the chosen day
    QString document;  // Document: the document's name as chosen or typed
};

class PictureImportObserver {
  public:
    virtual ~PictureImportObserver() = default;
    // Where the next picture goes; asked for each picture, so that a change during the import
    // applies to the pictures after it.
    virtual PictureTarget pictureTarget() = 0;
    // The picture's target folder is there; its copy begins.
    virtual void pictureStarted(const QString& name) = 0;
    // One more picture done: copied, failed, or already in its folder. A picture whose
    // replacement was refused is passed over without this.
    virtual void pictureDone() = 0;
    // The target folder holds another file of the picture's name: true to replace it.
    virtual bool replaceExisting(const QString& name) = 0;
    // A day without a row got its empty row and its month mark.
    virtual void dayRowMade(const QString& key) = 0;
    // Called after each picture: false when the import is to stop. The window lets its
    // messages through here.
    virtual bool goOn() = 0;
};

struct PictureImportOptions {
    // The database module whose Entry rows and month marks the days get; none: no row is made.
    TDataModule1* store = nullptr;
    // The diary is read-only: the pictures are copied, no row and no mark is made.
    bool readOnly = false;
    // The picture tree, with its trailing "/" ("Pictures/" in the program folder).
    QString pictureFolder;
    // The folder the pictures are listed from, and the pictures in the order they go.
    QString folder;
    std::vector<ImportPicture> pictures;
};

class PictureImporter {
  public:
    struct Outcome {
        int failed = 0;        // pictures that could not be copied or had nowhere to go
        bool stopped = false;  // the observer asked to stop
    };

    PictureImporter(PictureImportOptions options, PictureImportObserver& observer);

    // Copies the pictures one by one. Database errors reach the caller, the pictures copied so
    // far staying; a disk that fails the final sync raises FileError.
    Outcome importPictures();

  private:
    // False when the picture could not be copied (or had nowhere to go).
    bool importPicture(const ImportPicture& picture);
    // "" when the picture has nowhere to go.
    QString targetFolder(const ImportPicture& picture);
    void makeDayRow(const QString& key);

    PictureImportOptions options_;
    PictureImportObserver& observer_;
    // A folder that received a copy: its file system is synced at the end.
    QString copiedInto_;
    StaleTemporarySweep sweep_;
};

}  // namespace qb
