#pragma once
// One running copy of a program per folder. The first start holds a lock on a file in the
// folder and listens on a local socket; a later start finds the lock taken and asks the holder,
// through the socket, to bring its window forward. The lock is a flock lock, which the kernel
// releases however the holder ends, so a copy that was killed never blocks the next start; the
// socket it leaves behind is replaced by the next holder. The socket is a plain Unix socket, so
// that the start loads no network library.

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace qb {

class SingleInstance : public QObject {
    Q_OBJECT

  public:
    // Takes the lock on lockPath (made when missing) and, when it is ours, listens as
    // serverName (a socket of that name in the temporary folder). Where that file can be neither
    // made nor opened (a folder the user cannot write), the user's own lock for the folder serves
    // (UserLockPathOf). Only when neither can be had does the start hold the folder as if it were
    // the only one.
    SingleInstance(const QString& lockPath, const QString& serverName, QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // This start holds the folder.
    bool Holds() const { return holds_; }

    // Asks the holder to bring its window forward and waits for its answer; false when none
    // came within timeoutMs. Blocks the calling thread (it has nothing else to do).
    bool AskHolderForward(int timeoutMs) const;

    // The socket name of a folder for the current user: the same for every start on it.
    static QString ServerNameOf(const QString& prefix, const QString& folder);

    // The lock kept where the user can write, for a lock file that cannot be made: in
    // $XDG_RUNTIME_DIR, else the temporary folder, named after the folder's real path.
    static QString UserLockPathOf(const QString& lockPath);

  signals:
    // A later start asks the holder to come forward.
    void ForwardAsked();

  private:
    struct Caller;

    void listen();
    void answer();
    void readCaller(Caller* caller);

    QString serverName_;
    int lockFd_ = -1;
    bool holds_ = false;
    int serverFd_ = -1;
    QSocketNotifier* serverNotifier_ = nullptr;
    std::vector<std::unique_ptr<Caller>> callers_;
};

}  // namespace qb
