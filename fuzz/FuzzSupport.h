#pragma once
// What every RTF fuzz target needs: a GUI application object for QTextDocument's fonts.

#include <QGuiApplication>

#include <cstdlib>

inline void startFuzzApplication(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Deliberately never destroyed: libFuzzer leaves through exit(), after Qt's own statics
    // may be gone, and tearing the application down then crashes.
    static int count = 1;
    static char* args[] = {(*argv)[0], nullptr};
    (void)argc;
    static auto* app = new QGuiApplication(count, args);
    (void)app;
}
