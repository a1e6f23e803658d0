#include "platform/ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>

namespace qb {

namespace {

constexpr char kAsk[] = "forward\n";
constexpr char kAnswer[] = "ok\n";

int openLockFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Close-on-exec: a program started from this one must not keep the lock after it ends.
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);  // a folder the user cannot write
    }
    return fd;
}

// The user's own lock for a folder where none can be made: it lies in a shared folder, so it
// is never followed through a link that someone else put there.
int openUserLockFile(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
}

// The same for every path that leads to the folder.
QString folderKey(const QString& folder) {
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty()) {
        canonical = QFileInfo(folder).absoluteFilePath();
    }
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex();
    return QString::number(::getuid()) + u'-' + QString::fromLatin1(hash.left(16));
}

}  // namespace

SingleInstance::SingleInstance(const QString& lockPath, const QString& serverName, QObject* parent)
    : QObject(parent), serverName_(serverName) {
    lockFd_ = openLockFile(lockPath);
    if (lockFd_ < 0) {
        lockFd_ = openUserLockFile(UserLockPathOf(lockPath));
    }
    if (lockFd_ < 0) {
        holds_ = true;
        return;
    }
    int locked = -1;
    do {
        locked = ::flock(lockFd_, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    holds_ = locked == 0;
    if (holds_) {
        listen();
    }
}

SingleInstance::~SingleInstance() {
    delete server_;
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock
    }
}

void SingleInstance::listen() {
    server_ = new QLocalServer;
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a holder that was killed: the lock is ours, so nobody listens there.
    if (!server_->listen(serverName_)) {
        QLocalServer::removeServer(serverName_);
        server_->listen(serverName_);
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answer);
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == kAsk) {
                socket->write(kAnswer);
                socket->flush();
                emit ForwardAsked();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::AskHolderForward(int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    // The holder may have taken the lock a moment ago and not be listening yet.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(kAsk);
            if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
                return false;
            }
            while (!socket.canReadLine() &&
                   socket.waitForReadyRead(int(deadline.remainingTime()))) {
            }
            return socket.canReadLine() && socket.readLine() == kAnswer;
        }
        QThread::msleep(50);
    }
    return false;
}

QString SingleInstance::ServerNameOf(const QString& prefix, const QString& folder) {
    // The user's own: the socket lives in the shared temporary folder.
    return prefix + u'-' + folderKey(folder);
}

QString SingleInstance::UserLockPathOf(const QString& lockPath) {
    const QFileInfo lock(lockPath);
    QString place = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (place.isEmpty() || !QFileInfo(place).isDir()) {
        place = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    }
    return place + u'/' + lock.completeBaseName() + u'-' + folderKey(lock.absolutePath()) +
           QStringLiteral(".lock");
}

}  // namespace qb
