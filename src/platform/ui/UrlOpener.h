#pragma once
// Opening a web address or a folder in the desktop's own program for it. A machine without a
// browser or a desktop opener says no; callers tell the user. Tests install a ScriptedUrlOpener.

#include <QUrl>

#include <vector>

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

// Records the addresses asked for and answers with `opens`.
class ScriptedUrlOpener : public UrlOpener {
  public:
    ScriptedUrlOpener();            // installs itself
    ~ScriptedUrlOpener() override;  // puts the previous opener back
    ScriptedUrlOpener(const ScriptedUrlOpener&) = delete;
    ScriptedUrlOpener& operator=(const ScriptedUrlOpener&) = delete;

    bool opens = true;
    std::vector<QUrl> opened;
    bool open(const QUrl& url) override;

  private:
    UrlOpener* previous_;
};

}  // namespace qb
