#pragma once
// The desktop calendar wired to the program: the main window's visibility, pages, panel keys,
// desktop menu, month actions and sounds, the settings file and the program's colours.

class TMainForm;

namespace qb {

// Fills in the services of DesktopCalendarForm (once, from ConnectProgramWindows); nothing
// happens while there is no desktop calendar.
void InstallDesktopCalendar(TMainForm& form);

}  // namespace qb
