#pragma once
// What the program asks of its application object: the application title (the caption of boxes
// without a caption of their own) and the request to end the program.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

namespace qb {

QString applicationTitle();
void setApplicationTitle(const QString& title);

// Asks the program to end: every modal window open now is hidden (its loop ends), and the event
// loop running at the next turn ends, also when it has not started yet: a request made inside
// the main window's first show, before the main loop runs, ends that loop as soon as it starts.
void requestQuit();
// A quit has been asked for during this run.
bool quitRequested();
// The loop-ending call of a request is still queued.
bool quitPending();
// Forgets the request, its queued loop end included (for tests that ask for a quit more than
// once in one process).
void clearQuitRequest();

// Minimises the whole application: every shown top-level window of the program (main windows,
// dialogs and tool windows; menus, tips and splashes are not iconified). Gives the windows it
// minimised, for restoreWindows.
std::vector<QPointer<QWidget>> minimizeApplication();
// Brings the windows back out of the minimised state; windows destroyed meanwhile are skipped.
void restoreWindows(const std::vector<QPointer<QWidget>>& windows);

}  // namespace qb
