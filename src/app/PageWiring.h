#pragma once
// The tabs and the month calendars wired into the main window: day pages opened with their
// editor frames from the Entry table, the calendar side panel and the desktop calendar's month,
// the month actions and "Go To Today's Entry", and the page steps of the editors' Previous and
// Next buttons.

#include "editors/EditorServices.h"

#include <QString>

class TMainForm;

namespace qb {

class CalendarUnit;

// Installs everything on form (once, from ConnectProgramWindows). The database module, the
// options dialog and the desktop calendar are read from the program-wide pointers when used,
// so a window may be missing. Returns the calendars (owned by form).
CalendarUnit* InstallPageWiring(TMainForm& form);

// The services of an editor frame on one of form's pages, the page steps included.
EditorServices PageEditorServices(TMainForm& form);

// The opening of a day whose Entry row is current: its text deciphered into a new day editor
// frame, placed on a new selected tab with its title.
void OpenEntryPage(TMainForm& form, const QString& dayKey);

}  // namespace qb
