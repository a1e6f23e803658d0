#pragma once
// An opener for tests: records the addresses asked for; when `opens` is false it reports the
// failure at once, before open returns.

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
    void open(const QUrl& url, QObject* context, std::function<void()> failed) override;

  private:
    UrlOpener* previous_;
};

}  // namespace qb
