#pragma once
// A stand-in for the desktop's xdg-open: a shell script in a temporary folder put first on the
// PATH for the object's life.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace qb {

class StandInOpener {
  public:
    explicit StandInOpener(const QByteArray& script) : path_(qgetenv("PATH")) {
        QFile file(bin_.path() + QStringLiteral("/xdg-open"));
        written_ = bin_.isValid() && file.open(QIODevice::WriteOnly) &&
                   file.write("#!/bin/sh\n" + script + "\n") > 0;
        file.close();
        written_ =
            written_ && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", bin_.path().toLocal8Bit() + ':' + path_);
    }
    ~StandInOpener() { qputenv("PATH", path_); }
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    bool written() const { return written_; }
    QString folder() const { return bin_.path(); }

  private:
    QTemporaryDir bin_;
    QByteArray path_;
    bool written_ = false;
};

}  // namespace qb
