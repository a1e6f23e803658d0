#pragma once
// Opening a web address or a folder in the desktop's own program for it. A machine without a
// browser or a desktop opener says no; callers tell the user. Tests install an opener of their
// own.

#include <QUrl>

namespace qb {

class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // False when no program could be started for the address.
    virtual bool open(const QUrl& url) = 0;
};

// The program's opener: the desktop's, until another is installed.
UrlOpener& urlOpener();
// Installs an opener (not owned); nullptr puts the desktop's back.
void setUrlOpener(UrlOpener* opener);

}  // namespace qb
