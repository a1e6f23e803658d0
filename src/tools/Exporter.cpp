#include "tools/Exporter.h"

#include "platform/db/DbError.h"
#include "platform/db/Table.h"
#include "platform/rtf/Rtf.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"

#include <QFileInfo>
#include <QTextDocument>

#include <exception>
#include <utility>

namespace qb::exporting {

namespace {

// A file of the export that could not be written: the export ends with this.
struct ExportFailure {
    QString path;
    QString reason;
};

// root + "/" + relative, also for the file system's root "/".
QString below(const QString& root, const QString& relative) {
    return root.endsWith(u'/') ? root + relative : root + u'/' + relative;
}

// Writes one file through a temporary file, replacing an existing one. Raises the failure that
// ends the export.
void writeFile(const QString& path, const QByteArray& rtf) {
    try {
        // Thousands of files: each waits for the disk only at the end of the export.
        qb::writeFileAtomically(path, rtf, qb::FileSync::Later);
    } catch (const qb::FileError& error) {
        throw ExportFailure{path, QString::fromUtf8(error.what())};
    }
}

// The same; false instead of the failure.
bool tryWriteFile(const QString& path, const QByteArray& rtf) {
    try {
        writeFile(path, rtf);
        return true;
    } catch (const ExportFailure&) {
        return false;
    }
}

}  // namespace

Exporter::Exporter(ExportOptions options, ExportObserver& observer)
    : options_(std::move(options)), observer_(observer) {}

void Exporter::run() {
    try {
        // The box that ends the export comes up once the walk's tables are closed.
        if (walk()) {
            observer_.finished(notWritten_);
        }
    } catch (const ExportFailure& failure) {
        observer_.writeFailed(failure.path, failure.reason);
    } catch (const qb::db::Error& error) {
        observer_.databaseFailed(QString::fromUtf8(error.what()));
    }
}

bool Exporter::walk() {
    // Tables of its own: a page saved meanwhile moves the shared cursors, never these.
    qb::db::Table entries(*options_.connection, "Entry");
    entries.SetSort("sYYYYMMDD");
    qb::db::Table documents(*options_.connection, "OtherDocs");
    documents.SetSort("Name");
    // Every text is read, a few hundred a statement; no statement stays open while messages
    // pass, so a page saved meanwhile never waits for the export.
    entries.SetReadAhead(qb::db::kWalkReadAhead);
    documents.SetReadAhead(qb::db::kWalkReadAhead);
    int rows = 0;
    if (options_.entries) {
        entries.Open();
        rows += entries.RecordCount();
    }
    if (options_.documents) {
        documents.Open();
        rows += documents.RecordCount();
    }
    observer_.rowsCounted(rows);
    if ((options_.entries && !exportEntries(entries)) ||
        (options_.documents && !exportDocuments(documents))) {
        return false;  // stopped
    }
    try {
        qb::syncFileSystem(options_.root);
    } catch (const qb::FileError& error) {
        throw ExportFailure{options_.root, QString::fromUtf8(error.what())};
    }
    return true;
}

bool Exporter::exportEntries(qb::db::Table& entries) {
    for (entries.First(); !entries.Eof(); entries.Next()) {
        const QString key = entries.FieldByName("sYYYYMMDD").AsQString();
        QString dayText;
        try {
            dayText = DateKeyToText(key);  // also refuses a key that is no date
        } catch (const EConvertError&) {
            ++notWritten_;
            if (!finishRow()) {
                return false;
            }
            continue;
        }
        const int month = key.mid(4, 2).toInt();
        const QString folder = QStringLiteral("Year ") + key.left(4) + u'/' + key.mid(4, 2) +
                               QStringLiteral(" - ") + MonthNames[month];
        const QString relative = folder + u'/' + key.mid(6, 2) + QStringLiteral(" - ") + dayText +
                                 QStringLiteral(".rtf");
        const QString path = below(options_.root, relative);
        folderForFile(below(options_.root, folder), path);

        if (options_.skipExisting && QFileInfo::exists(path)) {
            observer_.fileReached(QStringLiteral("Skipping: ") + relative);
        } else {
            observer_.fileReached(QStringLiteral("Exporting: ") + relative);
            if (const std::optional<QByteArray> rtf =
                    renderedRtf(entries.FieldByName("Entry").AsString())) {
                writeFile(path, *rtf);
            }
        }
        if (!finishRow()) {
            return false;
        }
    }
    return true;
}

bool Exporter::exportDocuments(qb::db::Table& documents) {
    const QString folder = below(options_.root, QStringLiteral("OtherDocs"));
    for (documents.First(); !documents.Eof(); documents.Next()) {
        const QString name = documents.FieldByName("Name").AsQString();
        const QString fileName = name + QStringLiteral(".rtf");
        const QString path = folder + u'/' + fileName;
        // A name with "/", control characters or too many bytes would leave the folder, and a
        // stem "." or ".." would make a hidden file: it takes the numbered file instead.
        const bool plain = qb::isPlainFileName(name) && qb::isPlainFileName(fileName);
        folderForFile(folder, path);

        if (plain && options_.skipExisting && QFileInfo::exists(path)) {
            observer_.fileReached(QStringLiteral("Skipping: ") + fileName);
        } else {
            observer_.fileReached(QStringLiteral("Exporting: ") + fileName);
            const std::optional<QByteArray> rtf =
                renderedRtf(documents.FieldByName("Entry").AsString());
            if (rtf && (!plain || !tryWriteFile(path, *rtf))) {
                const QString numbered =
                    QString::number(documents.RecNo()) + QStringLiteral("-OtherDoc.rtf");
                // Written before the observer hears of it: a numbered file that cannot be
                // written either ends the export with its own failure, never with a report of
                // a file that is not there.
                writeFile(folder + u'/' + numbered, *rtf);
                observer_.numberedFileWritten(path, name, numbered);
            }
        }
        if (!finishRow()) {
            return false;
        }
    }
    return true;
}

std::optional<QByteArray> Exporter::renderedRtf(const std::string& stored) {
    std::optional<QByteArray> rtf = ExportedRtf(stored, *options_.shown, options_.cipher);
    if (!rtf) {
        ++notWritten_;
    }
    return rtf;
}

void Exporter::folderForFile(const QString& folder, const QString& file) {
    try {
        qb::forceDirectories(folder);
    } catch (const qb::FileError& error) {
        throw ExportFailure{file, QString::fromUtf8(error.what())};
    }
    sweep_.before(folder);
}

bool Exporter::finishRow() {
    observer_.rowDone();
    return observer_.goOn();
}

}  // namespace qb::exporting

std::optional<QByteArray> ExportedRtf(const std::string& stored, const QTextDocument& shown,
                                      TQbBlowfish* cipher) {
    std::string rtf;
    try {
        rtf = cipher ? DecodeEntryText(stored, *cipher) : DecodeEntryText(stored);
    } catch (const std::exception&) {
        return std::nullopt;  // not cipher text of this diary's key
    }
    // Deciphered bytes that are not RTF are the mark of a damaged or foreign text.
    if (!IsPlainRtf(rtf)) {
        return std::nullopt;
    }
    const QByteArray bytes = QByteArray::fromStdString(rtf);
    // Most texts are written out again straight from the RTF: a document for each of thousands
    // of texts would be most of the export's time.
    if (std::optional<QByteArray> rewritten = qb::rtf::rewrite(bytes, shown.defaultFont())) {
        return rewritten;
    }
    // A document with the rendering document's settings but never shown: a control would lay
    // out every text, three times the work of the export.
    QTextDocument page;
    page.setUndoRedoEnabled(false);
    page.setDefaultFont(shown.defaultFont());
    page.setDefaultTextOption(shown.defaultTextOption());
    page.setDocumentMargin(shown.documentMargin());
    page.setIndentWidth(shown.indentWidth());
    qb::rtf::read(bytes, page);
    return qb::rtf::write(page);
}
