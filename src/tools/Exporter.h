#pragma once
// The export walk without a window: every day entry into "Year YYYY/MM - Month" folders and
// every document into "OtherDocs" below a root folder, each as the RTF that a rendering document
// saves of the stored text, written through a temporary file and a rename; Skip keeps a file
// that exists, Overwrite replaces it. Every name stays inside the root folder: a document whose
// name would leave it takes a numbered file. How far the walk is, each file's status and what
// ends it go to an observer (the export window), which also says when the walk is to stop.

#include "platform/files/Files.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>

class QTextDocument;
class TQbBlowfish;

namespace qb::db {
class Connection;
class Table;
}  // namespace qb::db

// A stored text as the export writes it: the RTF that the document `shown` saves after loading
// the text, deciphered with `cipher` (the program's when none); nullopt when it cannot be
// deciphered or is no RTF.
std::optional<QByteArray> ExportedRtf(const std::string& stored, const QTextDocument& shown,
                                      TQbBlowfish* cipher = nullptr);

namespace qb::exporting {

class ExportObserver {
  public:
    virtual ~ExportObserver() = default;
    // The number of rows the walk goes through, told once before the walk.
    virtual void rowsCounted(int rows) = 0;
    // The walk reaches a file: "Exporting: " or "Skipping: " and the entry's file below the
    // root or the document's file name.
    virtual void fileReached(const QString& status) = 0;
    // A document's own file name could not be written (path, from the document `name`), so its
    // text went to `numbered` in the same folder instead; told after that file is written.
    virtual void numberedFileWritten(const QString& path, const QString& name,
                                     const QString& numbered) = 0;
    // The walk is done with one row.
    virtual void rowDone() = 0;
    // Called after each row: false when the walk is to stop. The window lets its messages
    // through here.
    virtual bool goOn() = 0;
    // Ends of the export, one of them at most (none when it was stopped). A file or folder at
    // `path` could not be written for `reason`.
    virtual void writeFailed(const QString& path, const QString& reason) = 0;
    // The diary database could not be read.
    virtual void databaseFailed(const QString& reason) = 0;
    // Every file is written and on the disk; `notWritten` texts could not be read.
    virtual void finished(int notWritten) = 0;
};

struct ExportOptions {
    qb::db::Connection* connection = nullptr;
    TQbBlowfish* cipher = nullptr;  // the program's when none
    // Renders each text: its font and text settings shape every file (the hidden rich edit's).
    const QTextDocument* shown = nullptr;
    // The root folder, which exists.
    QString root;
    bool entries = true;
    bool documents = true;
    bool skipExisting = false;
};

class Exporter {
  public:
    Exporter(ExportOptions options, ExportObserver& observer);

    // Walks the entries, then the documents, as asked, and ends with one of the observer's
    // ends, or with none when it is asked to stop.
    void run();

  private:
    // Each of these raises the failure that ends the export; false once the walk is to stop.
    bool walk();
    bool exportEntries(qb::db::Table& entries);
    bool exportDocuments(qb::db::Table& documents);
    // The RTF of a stored text; nullopt, counted as not written, when it cannot be read.
    std::optional<QByteArray> renderedRtf(const std::string& stored);
    void folderForFile(const QString& folder, const QString& file);
    bool finishRow();

    ExportOptions options_;
    ExportObserver& observer_;
    int notWritten_ = 0;  // rows meant to be written whose text could not be read
    qb::StaleTemporarySweep sweep_;
};

}  // namespace qb::exporting
