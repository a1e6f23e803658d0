#pragma once
// One running copy of the program per program folder: a second start on a folder whose diary
// is open brings the running copy's main window forward and ends, before it opens the database
// or writes the settings file, so that two copies never overwrite each other's saves.

#include "platform/ui/SingleInstance.h"

#include <QString>

class TMainForm;

namespace qb {

class ProgramInstance {
  public:
    // Claims folder (the program folder, with its trailing "/") for this start.
    explicit ProgramInstance(const QString& folder);

    // This start is the folder's only copy: it goes on.
    bool First() const { return lock_.Holds(); }

    // For a later start: asks the running copy to come forward; when it does not answer, a box
    // says that the diary is open in another copy. The start then ends.
    void HandOver() const;

    // For the first start: the requests of later starts bring main forward.
    void Serve(TMainForm& main);

  private:
    SingleInstance lock_;
};

// What a later start asks of the running copy: its main window shown, out of the minimised
// state, in front, as "Editor Window" brings it, also when only the desktop calendar shows.
// While a modal window is up (the log-in, a box) that window comes forward instead.
void BringProgramForward(TMainForm& main);

}  // namespace qb
