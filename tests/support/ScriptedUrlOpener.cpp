#include "support/ScriptedUrlOpener.h"

namespace qb {

ScriptedUrlOpener::ScriptedUrlOpener() : previous_(&urlOpener()) {
    setUrlOpener(this);
}

ScriptedUrlOpener::~ScriptedUrlOpener() {
    setUrlOpener(previous_);
}

void ScriptedUrlOpener::open(const QUrl& url, QObject* /*context*/, std::function<void()> failed) {
    opened.push_back(url);
    if (!opens) {
        failed();
    }
}

}  // namespace qb
