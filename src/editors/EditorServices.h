#pragma once
// What an editor frame needs from the window that holds it. The program's main window fills
// these in (editors/EditorProgram.h); tests install their own, so that a frame runs without a
// main window, a tab row or a user.

#include <QString>

#include <cstdint>
#include <functional>

class QMenu;
class QPainter;

namespace qb {

class PaintBox;

struct EditorServices {
    // A status notice, cleared by the main window after a while.
    std::function<void(const QString& text)> showStatus;
    // Paints the title strip and the undo panel (by default the shaded title-strip tint).
    std::function<void(PaintBox& sender, QPainter& canvas)> titlePaint;
    // The context menu of every page's text; none by default.
    std::function<QMenu*()> documentPopup;
    std::function<void()> refreshCalendars;
    std::function<void()> refreshDocumentList;

    // The deferred replacement of a page by another row's page: the main window remembers the
    // page to close and the key to show, and starts its one-shot timer. Nothing happens while
    // these are not set.
    std::function<void(int pageId, const QString& dayKey)> stepToDay;
    std::function<void(int pageId, const QString& documentName)> stepToDocument;

    // "Show "Modify/Next/Previous Document" toolbar." is on (by default the options dialog's
    // check box; on when there is no options dialog).
    std::function<bool()> showModifyToolbar;
    // "Show captions for picture thumbnails." is on (by default the options dialog's check box;
    // on when there is no options dialog).
    std::function<bool()> showThumbnailCaptions;
    // The program was started with "-undopanel".
    std::function<bool()> undoPanelSwitch;
    // Loads a picture into the picture viewer and brings the viewer up (nothing by default).
    std::function<void(const QString& path)> showPicture;
    // Opens a folder in the system's file browser; failures are not looked at.
    std::function<void(const QString& folder)> openFolder;
    // A 32-bit millisecond tick count that wraps (by default the program's clock).
    std::function<std::uint32_t()> tickCount;
    // Lets pending messages through.
    std::function<void()> processEvents;
};

// Services with every member set: the defaults above, and nothing for the notices, the
// refreshes and the page steps.
EditorServices DefaultEditorServices();

// Fills every member that is not set with its default.
void CompleteEditorServices(EditorServices& services);

}  // namespace qb
