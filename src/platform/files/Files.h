#pragma once
// Files and folders as the diary uses them: folder listings in a stable order, a copy that can
// never destroy its source or leave half a file under the final name, a rename that never
// replaces, and whole-file writes that are atomic. Paths use "/". Every failure raises FileError
// with a message a user can act on.

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace qb {

class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct FileEntry {
    QString name;  // file name without folder
    QString path;  // full path: folder + "/" + name
    std::int64_t size = 0;
    QDateTime modified;  // local time
};

// ext4 lists folders in hash order: every listing is sorted by name without case, then by bytes,
// so users see what they expect and runs repeat.
bool fileNameLess(const QString& a, const QString& b);

// The regular files of one folder (hidden ones included; links to files are followed, links to
// folders are not listed). An unreadable or missing folder gives an empty list.
std::vector<FileEntry> listFiles(const QString& folder);

// The sub-folders of one folder (hidden ones included, links to folders never), full paths.
std::vector<QString> listFolders(const QString& folder);

// Every regular file below root, depth first: a folder's files, then its sub-folders, each in
// listing order. Links to folders are never followed, so a link loop cannot recurse forever.
// `visit` returns false to stop the walk. Only name and path are filled in (size 0, modified
// null): a walk over thousands of files needs no look-up of each.
void walkFiles(const QString& root, const std::function<bool(const FileEntry&)>& visit);

// True when both paths name one existing file (device and inode, so links count too).
bool sameFile(const QString& a, const QString& b);

// When a written file reaches the disk: at once (each write waits for the disk), or later, for
// many files written in one go that are then made durable together by syncFileSystem.
enum class FileSync { Now, Later };

// Copies source onto target, replacing target: refuses one file as both (FileError), copies into
// a temporary file in the target's folder, keeps the modification time, then renames over the
// target. On failure the target is as it was and no temporary file is left.
void copyFileSafely(const QString& source, const QString& target, FileSync sync = FileSync::Now);

// Writes bytes to path through a temporary file in the same folder and a rename.
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         FileSync sync = FileSync::Now);

// True for the name of a temporary file that copyFileSafely or writeFileAtomically makes:
// ".<start of the target's name>.<8 hex digits>.tmp".
bool isSafeWriteTemporary(const QString& fileName);

// Removes what safe copies and writes into folder left behind when the program was stopped half
// way (killed, the machine off): the temporaries isSafeWriteTemporary names, directly in the
// folder, and nothing else. A failure to remove one is no error: the next run tries again.
void removeStaleTemporaries(const QString& folder);

// A run that writes into many folders (an export, an import) sweeps each folder's stale
// temporaries once, the first time it works there.
class StaleTemporarySweep {
  public:
    void before(const QString& folder);

  private:
    QSet<QString> swept_;
};

// Makes everything written so far on the file system that holds `path` durable: one wait for
// the disk instead of one per file. FileError when the disk reports a failure.
void syncFileSystem(const QString& path);

// Renames a file; never replaces an existing file (FileError when `to` exists).
void renameFile(const QString& from, const QString& to);

// Deletes a file for good.
void removeFile(const QString& path);

// Creates the folder with every missing parent; FileError when it cannot.
void forceDirectories(const QString& folder);

// A name that is one plain file name: not empty, not "." or "..", no "/", no NUL or other
// control character, at most 255 bytes in UTF-8.
bool isPlainFileName(const QString& name);

}  // namespace qb
