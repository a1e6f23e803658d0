#pragma once
// Opening a web address or a folder in the desktop's own program for it. A machine without a
// browser or a desktop opener says no; callers tell the user. The window never waits for the
// verdict: the desktop's opener may take seconds to find that it has no program for the address.
// Tests install an opener of their own.

#include <QObject>
#include <QUrl>

#include <functional>

namespace qb {

class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // Starts opening the address and returns. `failed` runs on the user-interface thread once it
    // is known that no program could be started for the address, however long that takes, and
    // never once `context` is gone. It may run before open returns.
    virtual void open(const QUrl& url, QObject* context, std::function<void()> failed) = 0;
};

// The program's opener: the desktop's, until another is installed.
UrlOpener& urlOpener();
// Installs an opener (not owned); nullptr puts the desktop's back.
void setUrlOpener(UrlOpener* opener);

}  // namespace qb
