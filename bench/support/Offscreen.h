#pragma once
// Benchmarks run without a display unless a platform is chosen (QT_QPA_PLATFORM=xcb under Xvfb
// measures the real window system).

#include <QtGlobal>

namespace bench {

inline void UseOffscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

}  // namespace bench
