#include "platform/files/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qb {
namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const QString& text) {
    throw FileError(text.toStdString());
}

QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The longest start of a target's name that a temporary name keeps: the whole name would make
// a name 14 bytes longer than the target's, too long where the target's is near the limit.
constexpr qsizetype kKeptNameBytes = 64;

// The longest start of `name`, in whole characters, of at most `limit` bytes in UTF-8.
QString utf8Prefix(const QString& name, qsizetype limit) {
    const QByteArray bytes = name.toUtf8();
    if (bytes.size() <= limit) {
        return name;
    }
    qsizetype cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(bytes.at(cut)) & 0xC0) == 0x80) {
        --cut;  // never inside a character
    }
    return QString::fromUtf8(bytes.left(cut));
}

// A temporary name beside the target, so that the final rename stays on one file system; of
// bounded length, so that every name that fits the folder can be written through one.
QString temporaryBeside(const QString& target) {
    const QFileInfo info(target);
    return joined(info.absolutePath(),
                  QStringLiteral(".%1.%2.tmp")
                      .arg(utf8Prefix(info.fileName(), kKeptNameBytes))
                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
}

bool hexDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
    });
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the result: a failed close can mean lost data.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the content that `produce` hands out into a new temporary file beside `target`, syncs
// it and renames it over the target. The temporary file is removed on every failure.
template <typename Produce>
void replaceThroughTemporary(const QString& target, Produce produce, const struct stat* times,
                             FileSync sync = FileSync::Now) {
    const QString temporary = temporaryBeside(target);
    Descriptor out(
        ::open(native(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.get() < 0) {
        fail(QStringLiteral("Cannot write into the folder of %1: %2")
                 .arg(QDir::toNativeSeparators(target), systemError(errno)));
    }
    const auto discard = [&](const QString& why) {
        ::unlink(native(temporary).constData());
        fail(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(target), why));
    };
    if (!produce(out.get())) {
        const int error = errno;
        discard(systemError(error));
    }
    if (times) {
        const struct timespec stamps[2] = {times->st_atim, times->st_mtim};
        ::futimens(out.get(), stamps);
    }
    if ((sync == FileSync::Now && ::fsync(out.get()) != 0) || !out.close()) {
        const int error = errno;
        discard(systemError(error));
    }
    if (::rename(native(temporary).constData(), native(target).constData()) != 0) {
        const int error = errno;
        discard(systemError(error));
    }
}

}  // namespace

bool fileNameLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0) {
        return folded < 0;
    }
    return a.toUtf8() < b.toUtf8();
}

std::vector<FileEntry> listFiles(const QString& folder) {
    std::vector<FileEntry> files;
    const QDir dir(folder);
    const QFileInfoList infos =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    files.reserve(static_cast<std::size_t>(infos.size()));
    for (const QFileInfo& info : infos) {
        // QDir::Files takes links to files; a link to a folder or a dangling link is no file.
        if (!info.isFile()) {
            continue;
        }
        files.push_back(
            {info.fileName(), joined(folder, info.fileName()), info.size(), info.lastModified()});
    }
    std::sort(files.begin(), files.end(),
              [](const FileEntry& a, const FileEntry& b) { return fileNameLess(a.name, b.name); });
    return files;
}

std::vector<QString> listFolders(const QString& folder) {
    std::vector<QString> names;
    const QDir dir(folder);
    const QFileInfoList infos = dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : infos) {
        if (info.isSymLink()) {
            continue;
        }
        names.push_back(info.fileName());
    }
    std::sort(names.begin(), names.end(), fileNameLess);
    std::vector<QString> paths;
    paths.reserve(names.size());
    for (const QString& name : names) {
        paths.push_back(joined(folder, name));
    }
    return paths;
}

namespace {

// One reading of a folder, its entries split as listFiles and listFolders split them, each
// sorted, without a stat of every entry: the type the folder records decides, and only links
// and entries of an unrecorded type are looked up.
void readFolder(const QString& folder, std::vector<QString>& files, std::vector<QString>& folders) {
    files.clear();
    folders.clear();
    const QByteArray path = native(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir) {
        return;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) {
            continue;
        }
        unsigned char type = entry->d_type;
        struct stat info {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            type = S_ISDIR(info.st_mode)   ? DT_DIR
                   : S_ISREG(info.st_mode) ? DT_REG
                   : S_ISLNK(info.st_mode) ? DT_LNK
                                           : DT_UNKNOWN;
        }
        if (type == DT_LNK) {
            // A link counts as a file when it leads to one; a link to a folder is never listed.
            if (::fstatat(fd, name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
                continue;
            }
            type = DT_REG;
        }
        if (type != DT_REG && type != DT_DIR) {
            continue;
        }
        // A name that is no text in the file names' encoding decodes to another name, one
        // that leads nowhere (its bad bytes become replacement characters): the listing never
        // takes it either.
        QString decoded = QFile::decodeName(name);
        if (decoded.contains(QChar::ReplacementCharacter) && QFile::encodeName(decoded) != name) {
            continue;
        }
        (type == DT_REG ? files : folders).push_back(std::move(decoded));
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end(), fileNameLess);
    std::sort(folders.begin(), folders.end(), fileNameLess);
}

bool walkFolder(const QString& folder, const std::function<bool(const FileEntry&)>& visit) {
    std::vector<QString> files;
    std::vector<QString> folders;
    readFolder(folder, files, folders);
    FileEntry file;
    for (QString& name : files) {
        file.path = joined(folder, name);
        file.name = std::move(name);
        if (!visit(file)) {
            return false;
        }
    }
    for (const QString& sub : folders) {
        if (!walkFolder(joined(folder, sub), visit)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void walkFiles(const QString& root, const std::function<bool(const FileEntry&)>& visit) {
    walkFolder(root, visit);
}

bool sameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    if (::stat(native(a).constData(), &first) != 0 || ::stat(native(b).constData(), &second) != 0) {
        return false;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void copyFileSafely(const QString& source, const QString& target, FileSync sync) {
    if (sameFile(source, target)) {
        fail(QStringLiteral("Cannot copy %1 onto itself.").arg(QDir::toNativeSeparators(source)));
    }
    Descriptor in(::open(native(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        fail(QStringLiteral("Cannot read %1: %2")
                 .arg(QDir::toNativeSeparators(source), systemError(errno)));
    }
    struct stat status {};
    if (::fstat(in.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        fail(QStringLiteral("Cannot read %1: not a file.").arg(QDir::toNativeSeparators(source)));
    }
    replaceThroughTemporary(
        target,
        [&](int out) {
            // In the kernel where the file system allows it; by reading and writing otherwise
            // (both move the file offsets, so the plain loop goes on where it stopped).
            for (;;) {
                const ssize_t copied =
                    ::copy_file_range(in.get(), nullptr, out, nullptr, std::size_t{1} << 30, 0);
                if (copied > 0) {
                    continue;
                }
                if (copied == 0) {
                    return true;
                }
                if (errno == EINTR) {
                    continue;
                }
                if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
                    return false;
                }
                break;
            }
            std::vector<char> buffer(1 << 16);
            for (;;) {
                const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
                if (got < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    return false;
                }
                if (got == 0) {
                    return true;
                }
                if (!writeAll(out, buffer.data(), static_cast<std::size_t>(got))) {
                    return false;
                }
            }
        },
        &status, sync);
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, FileSync sync) {
    replaceThroughTemporary(
        path,
        [&](int out) {
            return writeAll(out, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        },
        nullptr, sync);
}

void syncFileSystem(const QString& path) {
    Descriptor folder(::open(native(path).constData(), O_RDONLY | O_CLOEXEC));
    if (folder.get() < 0 || ::syncfs(folder.get()) != 0) {
        fail(QStringLiteral("Cannot make the files in %1 safe on disk: %2")
                 .arg(QDir::toNativeSeparators(path), systemError(errno)));
    }
}

void renameFile(const QString& from, const QString& to) {
    // RENAME_NOREPLACE refuses an existing target even when another program creates it in
    // between, which a check before a plain rename could not promise. File systems without it
    // get the same promise from link + unlink.
    if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(),
                    RENAME_NOREPLACE) == 0) {
        return;
    }
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        if (::link(native(from).constData(), native(to).constData()) == 0) {
            if (::unlink(native(from).constData()) == 0) {
                return;
            }
            error = errno;
            ::unlink(native(to).constData());
        } else {
            error = errno;
        }
    }
    if (error == EEXIST) {
        fail(QStringLiteral("Cannot rename %1: %2 already exists.")
                 .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
    }
    fail(QStringLiteral("Cannot rename %1: %2")
             .arg(QDir::toNativeSeparators(from), systemError(error)));
}

void removeFile(const QString& path) {
    if (::unlink(native(path).constData()) != 0) {
        fail(QStringLiteral("Cannot delete %1: %2")
                 .arg(QDir::toNativeSeparators(path), systemError(errno)));
    }
}

void forceDirectories(const QString& folder) {
    if (QFileInfo(folder).isDir()) {
        return;
    }
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        fail(QStringLiteral("Cannot create the folder %1.").arg(QDir::toNativeSeparators(folder)));
    }
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return false;
    }
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return false;
        }
    }
    return name.toUtf8().size() <= 255;
}

bool isSafeWriteTemporary(const QString& fileName) {
    // "." + at least one character + "." + 8 hex digits + ".tmp"
    constexpr qsizetype kTail = 1 + 8 + 4;
    if (!fileName.startsWith(u'.') || !fileName.endsWith(QStringLiteral(".tmp")) ||
        fileName.size() < 1 + 1 + kTail) {
        return false;
    }
    const qsizetype dot = fileName.size() - kTail;
    return fileName.at(dot) == u'.' && hexDigits(QStringView(fileName).mid(dot + 1, 8));
}

void removeStaleTemporaries(const QString& folder) {
    for (const FileEntry& file : listFiles(folder)) {
        if (isSafeWriteTemporary(file.name)) {
            ::unlink(native(file.path).constData());
        }
    }
}

void StaleTemporarySweep::before(const QString& folder) {
    if (!swept_.contains(folder)) {
        swept_.insert(folder);
        removeStaleTemporaries(folder);
    }
}

}  // namespace qb
