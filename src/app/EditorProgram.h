#pragma once
// The editor pages wired to the main window: its status notices, title-strip painting, the
// pages' context menu and the calendar and documents refreshes.

#include "editors/EditorServices.h"

class TMainForm;

namespace qb {

// The services of a page held by form (which must outlive the page). The page steps
// (stepToDay, stepToDocument) are left to the tabs module, which owns the pending page and
// its timers.
EditorServices MainFormEditorServices(TMainForm& form);

}  // namespace qb
