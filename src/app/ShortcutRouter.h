#pragma once
// Keys typed in the program's other windows. The main window's actions answer their shortcuts
// only while the main window is the active window, so that a window with shortcuts of its own
// (the picture viewer's F8 and F7) keeps them; a key that the active window has no use for
// (no shortcut of its own, its focused control ignores it) goes on to the main window's action
// of that key, as long as no modal window holds the program (the main window then takes no
// commands either). So Ctrl+T opens today's page from the viewer and F8 turns the month from the
// desktop calendar, also while the main window is hidden.

class TMainForm;

namespace qb {

// Installs the forwarding on the application, owned by main.
void InstallShortcutRouter(TMainForm& main);

}  // namespace qb
