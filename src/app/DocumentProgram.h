#pragma once
// The documents list wired into the main window: the OtherDocs table of the database module,
// the "Other Documents" side panel and the two Documents menus, document pages opened with
// their editor frames on the main window's tabs, and the "New Document" action.

class TMainForm;

namespace qb {

class DocumentUnit;

// Installs the list on form (once, from ConnectProgramWindows, after the tabs are wired):
// RefreshDocumentList, the tabs' opening of document pages and the New Document action.
// Nothing is installed while there is no database module. Returns the list (owned by form).
DocumentUnit* InstallDocumentList(TMainForm& form);

}  // namespace qb
