#include "platform/ui/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace qb {

namespace {

constexpr char kAsk[] = "forward\n";
constexpr char kAnswer[] = "ok\n";
constexpr int kLongestLine = 64;  // a caller that sends more without a line end is no start of ours

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

// The socket of a name: in the temporary folder, where every start of the user looks.
std::optional<sockaddr_un> socketAddress(const QString& name) {
    const QByteArray path = QFile::encodeName(QDir::temp().filePath(name));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof(address.sun_path)) {
        return std::nullopt;
    }
    std::copy(path.begin(), path.end(), address.sun_path);
    return address;
}

int bindSocket(int fd, const sockaddr_un& address) {
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
}

// Sends all of text; false when the other side is gone.
bool sendAll(int fd, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, text, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        text += sent;
        size -= std::size_t(sent);
    }
    return true;
}

// The holder's answer line, read until its line end, its close or the deadline.
QByteArray answerLine(int fd, const QDeadlineTimer& deadline) {
    QByteArray line;
    while (!line.contains('\n') && line.size() < kLongestLine && !deadline.hasExpired()) {
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char bytes[kLongestLine];
        const ssize_t got = ::read(fd, bytes, sizeof(bytes));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        line.append(bytes, got);
    }
    return line.left(line.indexOf('\n') + 1);
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

// One later start on the line: its socket and what it has sent so far.
struct SingleInstance::Caller {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QByteArray line;
};

SingleInstance::~SingleInstance() {
    for (const std::unique_ptr<Caller>& caller : callers_) {
        ::close(caller->fd);
    }
    if (serverFd_ >= 0) {
        ::close(serverFd_);
        // Nobody listens there any more: the next holder's socket takes the name.
        ::unlink(QFile::encodeName(QDir::temp().filePath(serverName_)).constData());
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock
    }
}

void SingleInstance::listen() {
    const std::optional<sockaddr_un> address = socketAddress(serverName_);
    if (!address) {
        return;
    }
    serverFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (serverFd_ < 0) {
        return;
    }
    // A socket left by a holder that was killed: the lock is ours, so nobody listens there.
    if (bindSocket(serverFd_, *address) != 0 && errno == EADDRINUSE) {
        ::unlink(address->sun_path);
        bindSocket(serverFd_, *address);
    }
    // The user's own: the socket lies in the shared temporary folder.
    ::chmod(address->sun_path, S_IRUSR | S_IWUSR);
    if (::listen(serverFd_, 8) != 0) {
        ::close(serverFd_);
        serverFd_ = -1;
        return;
    }
    serverNotifier_ = new QSocketNotifier(serverFd_, QSocketNotifier::Read, this);
    connect(serverNotifier_, &QSocketNotifier::activated, this, &SingleInstance::answer);
}

void SingleInstance::answer() {
    for (;;) {
        const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;  // no one else waits (or the call failed: the next caller tries again)
        }
        auto caller = std::make_unique<Caller>();
        caller->fd = fd;
        caller->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        Caller* reading = caller.get();
        connect(caller->notifier, &QSocketNotifier::activated, this,
                [this, reading] { readCaller(reading); });
        callers_.push_back(std::move(caller));
    }
}

void SingleInstance::readCaller(Caller* caller) {
    char bytes[kLongestLine];
    const ssize_t got = ::read(caller->fd, bytes, sizeof(bytes));
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (got > 0) {
        caller->line.append(bytes, got);
        if (!caller->line.contains('\n') && caller->line.size() < kLongestLine) {
            return;  // the rest of the line is still to come
        }
    }
    const bool asked = caller->line.left(caller->line.indexOf('\n') + 1) == kAsk;
    if (asked) {
        sendAll(caller->fd, kAnswer, std::strlen(kAnswer));
    }
    // Done with this caller: its notifier goes once its signal has returned.
    caller->notifier->setEnabled(false);
    caller->notifier->deleteLater();
    ::close(caller->fd);
    callers_.erase(
        std::find_if(callers_.begin(), callers_.end(),
                     [caller](const std::unique_ptr<Caller>& c) { return c.get() == caller; }));
    if (asked) {
        emit ForwardAsked();
    }
}

bool SingleInstance::AskHolderForward(int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    const std::optional<sockaddr_un> address = socketAddress(serverName_);
    if (!address) {
        return false;
    }
    // The holder may have taken the lock a moment ago and not be listening yet.
    while (!deadline.hasExpired()) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return false;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) == 0) {
            const bool answered =
                sendAll(fd, kAsk, std::strlen(kAsk)) && answerLine(fd, deadline) == kAnswer;
            ::close(fd);
            return answered;
        }
        ::close(fd);
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
