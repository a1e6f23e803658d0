#pragma once
// An opener for tests: records the addresses asked for and answers with `opens`.

#include "platform/ui/UrlOpener.h"

#include <QUrl>

#include <vector>

namespace qb {

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
