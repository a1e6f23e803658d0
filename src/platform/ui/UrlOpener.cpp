#include "platform/ui/UrlOpener.h"

#include <QDesktopServices>

namespace qb {
namespace {

class DesktopUrlOpener : public UrlOpener {
  public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

DesktopUrlOpener desktopOpener;
UrlOpener* current = nullptr;

}  // namespace

UrlOpener& urlOpener() {
    return current ? *current : desktopOpener;
}

void setUrlOpener(UrlOpener* opener) {
    current = opener;
}

ScriptedUrlOpener::ScriptedUrlOpener() : previous_(current) {
    setUrlOpener(this);
}

ScriptedUrlOpener::~ScriptedUrlOpener() {
    setUrlOpener(previous_);
}

bool ScriptedUrlOpener::open(const QUrl& url) {
    opened.push_back(url);
    return opens;
}

}  // namespace qb
