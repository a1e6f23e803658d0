#include "platform/files/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using qb::FileError;

void writeText(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList namesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

class FilesTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

TEST_F(FilesTest, ListingsAreSortedWithoutCaseAndTakeOnlyWhatTheyName) {
    for (const char* name : {"b.jpg", "A.jpg", "a.jpg", ".hidden.jpg", "C.bmp"}) {
        writeText(path(QString::fromLatin1(name)), "x");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("sub")), path(QStringLiteral("folderlink"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("C.bmp")), path(QStringLiteral("filelink"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling"))));

    QStringList names;
    for (const qb::FileEntry& file : qb::listFiles(dir.path())) {
        names << file.name;
        EXPECT_EQ(file.path, path(file.name));
    }
    // Same letters without case: bytes decide, so "A" comes before "a".
    EXPECT_EQ(names, (QStringList{".hidden.jpg", "A.jpg", "a.jpg", "b.jpg", "C.bmp", "filelink"}));

    EXPECT_EQ(qb::listFolders(dir.path()), std::vector<QString>{path(QStringLiteral("sub"))});
    EXPECT_TRUE(qb::listFiles(path(QStringLiteral("missing"))).empty());
}

TEST_F(FilesTest, WalkGoesDepthFirstStopsOnRequestAndNeverFollowsAFolderLink) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("2006/03/07")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("2005/12/31")));
    writeText(path(QStringLiteral("top.jpg")), "x");
    writeText(path(QStringLiteral("2006/03/07/b.jpg")), "x");
    writeText(path(QStringLiteral("2005/12/31/a.jpg")), "x");
    // A loop back to the root: followed, the walk would never end.
    ASSERT_TRUE(QFile::link(dir.path(), path(QStringLiteral("2006/loop"))));

    QStringList seen;
    qb::walkFiles(dir.path(), [&](const qb::FileEntry& file) {
        seen << QDir(dir.path()).relativeFilePath(file.path);
        return true;
    });
    EXPECT_EQ(seen, (QStringList{"top.jpg", "2005/12/31/a.jpg", "2006/03/07/b.jpg"}));

    int visits = 0;
    qb::walkFiles(dir.path(), [&](const qb::FileEntry&) { return ++visits < 2; });
    EXPECT_EQ(visits, 2);
}

// The walk reads folders its own, faster way: it must take exactly the files of the listing,
// in its order, whatever kind of entry lies beside them.
TEST_F(FilesTest, WalkTakesTheFilesOfTheListingInItsOrder) {
    for (const char* name :
         {"b.jpg", "A.jpg", "a.jpg", ".hidden.jpg", "C.bmp", "\xc3\xa9t\xc3\xa9.jpg"}) {
        writeText(path(QString::fromUtf8(name)), "x");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    writeText(path(QStringLiteral("sub/inner.jpg")), "x");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("sub")), path(QStringLiteral("folderlink"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("C.bmp")), path(QStringLiteral("filelink"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("gone")), path(QStringLiteral("dangling"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    // Names that are no UTF-8 come out of decoding as other names, which lead nowhere.
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir((folder + "/bad\xff").constData(), 0700), 0);
    for (const char* name : {"/bad\xfe\xff.jpg", "/bad\xff/inner.jpg"}) {
        const int fd = ::open((folder + name).constData(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }

    QStringList listed;
    for (const qb::FileEntry& file : qb::listFiles(dir.path())) {
        listed << file.path;
    }
    listed << path(QStringLiteral("sub/inner.jpg"));
    QStringList walked;
    qb::walkFiles(dir.path(), [&](const qb::FileEntry& file) {
        EXPECT_TRUE(file.path.endsWith(QLatin1Char('/') + file.name)) << file.path.toStdString();
        walked << file.path;
        return true;
    });
    EXPECT_EQ(walked, listed);
    EXPECT_EQ(walked.size(), 8);
    // The temporary folder cannot name them to remove them.
    ::unlink((folder + "/bad\xfe\xff.jpg").constData());
    ::unlink((folder + "/bad\xff/inner.jpg").constData());
    ::rmdir((folder + "/bad\xff").constData());
}

TEST_F(FilesTest, CopyReplacesTheTargetAndKeepsTheModificationTime) {
    writeText(path(QStringLiteral("src.jpg")), "picture");
    writeText(path(QStringLiteral("dst.jpg")), "older");
    QFile source(path(QStringLiteral("src.jpg")));
    ASSERT_TRUE(source.open(QIODevice::ReadWrite));
    const QDateTime stamp =
        QDateTime::fromString(QStringLiteral("2006-03-07T10:20:30"), Qt::ISODate);
    ASSERT_TRUE(source.setFileTime(stamp, QFileDevice::FileModificationTime));
    source.close();

    qb::copyFileSafely(path(QStringLiteral("src.jpg")), path(QStringLiteral("dst.jpg")));
    EXPECT_EQ(readText(path(QStringLiteral("dst.jpg"))), "picture");
    EXPECT_EQ(QFileInfo(path(QStringLiteral("dst.jpg"))).lastModified(), stamp);
    EXPECT_EQ(namesIn(dir.path()), (QStringList{"dst.jpg", "src.jpg"}));
}

TEST_F(FilesTest, CopyOntoItselfIsRefusedAndTheSourceSurvives) {
    writeText(path(QStringLiteral("one.jpg")), "picture");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("one.jpg")), path(QStringLiteral("alias.jpg"))));
    for (const char* target : {"one.jpg", "alias.jpg", "./one.jpg"}) {
        EXPECT_THROW(
            qb::copyFileSafely(path(QStringLiteral("one.jpg")), path(QString::fromLatin1(target))),
            FileError)
            << target;
        EXPECT_EQ(readText(path(QStringLiteral("one.jpg"))), "picture");
    }
}

TEST_F(FilesTest, FailedCopiesAndWritesLeaveNothingBehind) {
    writeText(path(QStringLiteral("src.jpg")), "picture");
    EXPECT_THROW(
        qb::copyFileSafely(path(QStringLiteral("src.jpg")), path(QStringLiteral("no/dst.jpg"))),
        FileError);
    EXPECT_THROW(
        qb::copyFileSafely(path(QStringLiteral("vanished.jpg")), path(QStringLiteral("dst.jpg"))),
        FileError);
    EXPECT_THROW(qb::writeFileAtomically(path(QStringLiteral("no/a.rtf")), "x"), FileError);
    EXPECT_EQ(namesIn(dir.path()), QStringList{"src.jpg"});

    writeText(path(QStringLiteral("a.rtf")), "old");
    qb::writeFileAtomically(path(QStringLiteral("a.rtf")), "new");
    EXPECT_EQ(readText(path(QStringLiteral("a.rtf"))), "new");
    qb::writeFileAtomically(path(QStringLiteral("b.rtf")), "later", qb::FileSync::Later);
    qb::syncFileSystem(dir.path());
    EXPECT_EQ(readText(path(QStringLiteral("b.rtf"))), "later");
    EXPECT_EQ(namesIn(dir.path()), (QStringList{"a.rtf", "b.rtf", "src.jpg"}));
    EXPECT_THROW(qb::syncFileSystem(path(QStringLiteral("no"))), FileError);
}

TEST_F(FilesTest, NamesUpToTheLimitAreCopiedAndWritten) {
    writeText(path(QStringLiteral("src.jpg")), "picture");
    const QString twoByte = QString(QChar(0xE9));
    const QString names[] = {
        QString(237, u'c') + ".jpg",            // 241 bytes
        QString(238, u'c') + ".jpg",            // 242 bytes
        QString(251, u'c') + ".jpg",            // 255 bytes
        u'c' + twoByte.repeated(125) + ".jpg",  // 255 bytes, a character across the cut
        QString(251, u'r') + ".rtf",            // 255 bytes, written
    };
    for (const QString& name : names) {
        ASSERT_TRUE(qb::isPlainFileName(name)) << name.toUtf8().size();
        if (name.endsWith(".rtf")) {
            qb::writeFileAtomically(path(name), "text");
            qb::writeFileAtomically(path(name), "replaced");
            EXPECT_EQ(readText(path(name)), "replaced");
        } else {
            qb::copyFileSafely(path(QStringLiteral("src.jpg")), path(name));
            qb::copyFileSafely(path(QStringLiteral("src.jpg")), path(name));
            EXPECT_EQ(readText(path(name)), "picture");
        }
        EXPECT_EQ(namesIn(dir.path()), (QStringList{name, "src.jpg"}));
        ASSERT_TRUE(QFile::remove(path(name)));
    }
}

TEST_F(FilesTest, RenameNeverReplacesAndDeleteIsReported) {
    writeText(path(QStringLiteral("a.jpg")), "a");
    writeText(path(QStringLiteral("b.jpg")), "b");
    EXPECT_THROW(qb::renameFile(path(QStringLiteral("a.jpg")), path(QStringLiteral("b.jpg"))),
                 FileError);
    EXPECT_EQ(readText(path(QStringLiteral("a.jpg"))), "a");
    EXPECT_EQ(readText(path(QStringLiteral("b.jpg"))), "b");

    qb::renameFile(path(QStringLiteral("a.jpg")), path(QStringLiteral("c.jpg")));
    EXPECT_EQ(namesIn(dir.path()), (QStringList{"b.jpg", "c.jpg"}));

    qb::removeFile(path(QStringLiteral("c.jpg")));
    EXPECT_THROW(qb::removeFile(path(QStringLiteral("c.jpg"))), FileError);
    qb::forceDirectories(path(QStringLiteral("x/y/z")));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("x/y/z"))).isDir());
    EXPECT_THROW(qb::forceDirectories(path(QStringLiteral("b.jpg/sub"))), FileError);
}

TEST(FileNames, PlainFileNames) {
    const struct {
        QString name;
        bool plain;
    } cases[] = {
        {QStringLiteral("Beach.JPG"), true},
        {QStringLiteral("Trip to Rome"), true},
        {QStringLiteral(".hidden"), true},
        {QStringLiteral("a..b"), true},
        {QString(), false},
        {QStringLiteral("."), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("a/b"), false},
        {QStringLiteral("../x"), false},
        {QStringLiteral("tab\there"), false},
        {QString(QChar(0)), false},
        {QString(255, QLatin1Char('x')), true},
        {QString(256, QLatin1Char('x')), false},
        {QString(128, QChar(0x00E9)), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qb::isPlainFileName(c.name), c.plain) << c.name.toStdString();
    }
}

TEST_F(FilesTest, StaleTemporariesOfSafeWritesGoAndNothingElse) {
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {".Beach.JPG.0a1b2c3d.tmp", true},
        {".05 - March 5, 2005.rtf.ffffffff.tmp", true},
        {".x.00000000.tmp", true},
        {".notes.tmp", false},               // a user's own hidden file
        {".Beach.JPG.0A1B2C3D.tmp", false},  // not the program's spelling of the number
        {".Beach.JPG.0a1b2c3.tmp", false},
        {"Beach.JPG.0a1b2c3d.tmp", false},  // not hidden
        {"..0a1b2c3d.tmp", false},          // no name before the number
        {".Beach.JPG.0a1b2c3d.tmp.jpg", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qb::isSafeWriteTemporary(QString::fromUtf8(c.name)), c.temporary) << c.name;
        writeText(path(QString::fromUtf8(c.name)), "x");
    }
    writeText(path("Beach.JPG"), "picture");
    QDir().mkdir(path(".folder.0a1b2c3d.tmp"));  // a folder is never one

    qb::removeStaleTemporaries(dir.path());
    QStringList kept{"Beach.JPG", ".folder.0a1b2c3d.tmp"};
    for (const auto& c : cases) {
        if (!c.temporary) {
            kept << QString::fromUtf8(c.name);
        }
    }
    kept.sort();
    QStringList left = namesIn(dir.path());
    left.sort();
    EXPECT_EQ(left, kept);
}

}  // namespace
