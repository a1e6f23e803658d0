#include "support/ScriptedUrlOpener.h"

namespace qb {

ScriptedUrlOpener::ScriptedUrlOpener() : previous_(&urlOpener()) {
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
