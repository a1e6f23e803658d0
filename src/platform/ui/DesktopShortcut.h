#pragma once
// The desktop shortcut of the program: a freedesktop launcher "Marlowick.desktop" in the user's
// desktop folder that starts the program with its own folder as working folder and shows the
// program's icon, installed beside the program as "Marlowick.png".

#include <QString>

namespace qb {

// The launcher text for the program at programPath (an absolute path).
QString desktopLauncherText(const QString& programPath);

// Writes the launcher into desktopFolder (made when missing), replacing an older one, and marks
// it executable so that the desktop runs it. False when it could not be written.
bool writeDesktopShortcut(const QString& desktopFolder, const QString& programPath);

// The same into the user's desktop folder, for the running program.
bool createDesktopShortcut();

}  // namespace qb
