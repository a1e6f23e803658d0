// Runs under Xvfb, where Qt opens addresses through xdg-open: the desktop's opener against
// stand-ins for xdg-open on the PATH, and what each one's answer makes of the address.

#include "platform/ui/UrlOpener.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

class PathWithOpener {
  public:
    explicit PathWithOpener(const QByteArray& script) : path_(qgetenv("PATH")) {
        const QString opener = bin_.path() + QStringLiteral("/xdg-open");
        QFile file(opener);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + script + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", bin_.path().toLocal8Bit() + ':' + path_);
    }
    ~PathWithOpener() { qputenv("PATH", path_); }

    QString folder() const { return bin_.path(); }

  private:
    QTemporaryDir bin_;
    QByteArray path_;
};

}  // namespace

TEST(UrlOpenerTest, TheDesktopOpenerSaysNoWhenItsOpenerFindsNoBrowser) {
    struct Case {
        const char* name;
        QByteArray script;
        bool opens;
    };
    const Case cases[] = {
        {"no browser found", "exit 3", false},
        {"the browser failed", "exit 4", false},
        {"handed to a running browser", "exit 0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PathWithOpener path(c.script);
        EXPECT_EQ(qb::urlOpener().open(QUrl(QStringLiteral("https://example.org/guide"))), c.opens);
    }
}

TEST(UrlOpenerTest, ABrowserThatRunsInsideTheOpenerIsLeftRunning) {
    PathWithOpener path("sleep 3; echo \"$1\" > \"$(dirname \"$0\")/opened\"");
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(qb::urlOpener().open(QUrl(QStringLiteral("https://example.org/guide"))));
    EXPECT_LT(clock.elapsed(), 3000);
    const QString opened = path.folder() + QStringLiteral("/opened");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(opened); }, 8000));
}
