#pragma once
// The one service through which the program shows message boxes, input boxes and the common
// dialogs. The program installs the Qt implementation at start; tests install one of their own
// that answers every box from a script, so that no behaviour test waits for a user.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace qb {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageResult { Ok, Cancel, Yes, No };
// Where a printed report goes.
enum class PrintDestination { Printer, Preview };

// A font as the font dialog offers it: face, size in points, colour and the four styles. The
// colour is a 32-bit value 0x00BBGGRR.
struct FontChoice {
    QString family;
    int pointSize = 0;
    std::uint32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    bool operator==(const FontChoice&) const = default;
};

// "Report Status": the modal window over a report's sheets, open while the object lives, with
// a Cancel button.
class ReportStatus {
  public:
    virtual ~ReportStatus() = default;
    // Shows text ("Printing page 2") and lets the user reach Cancel; false once they pressed it.
    virtual bool show(const QString& text) = 0;
    // Lets the user reach Cancel while long work goes on under the text shown, as often as the
    // window needs; false once they pressed it. Cheap enough to call between small steps.
    virtual bool poll() = 0;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A box with a caption of its own. Closing the box without a button gives Cancel (or No
    // where there is no Cancel button).
    virtual MessageResult messageBox(const QString& text, const QString& title,
                                     MessageButtons buttons = MessageButtons::Ok,
                                     MessageIcon icon = MessageIcon::None) = 0;

    // A box without a caption of its own: it carries the application title.
    virtual void showMessage(const QString& text) = 0;

    // An input box; nullopt when the user cancels.
    virtual std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                            const QString& initial) = 0;

    // The colour dialog, starting with `initial` (0x00BBGGRR); the chosen colour only when the
    // user confirms, nullopt when the dialog is cancelled or closed.
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial);

    // The font dialog with colour and effects (underline, strike-out), starting with
    // `initial`; the chosen font only when the user confirms.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial);

    // The save-file dialog, starting in `initialPath` (folder or file), with a Qt name filter
    // ("JPEG Image (*.jpg);;Bitmap (*.bmp)"). It never asks about overwriting: the caller's own
    // box does. The chosen path, or nullopt when cancelled.
    virtual std::optional<QString> saveFileName(const QString& title, const QString& initialPath,
                                                const QString& filter);

    // The print dialog: the user picks the printer (or a PDF file), the copies and the range,
    // which the dialog leaves in printer. False when cancelled.
    virtual bool printDialog(QPrinter& printer);
    // "Output Options": whether the report goes to the printer or to the preview (the printer
    // chosen first, its setup reachable from here through printerSetup); nullopt when cancelled.
    virtual std::optional<PrintDestination> outputOptions(QPrinter& printer);
    // The platform's page and printer setup of printer, which keeps the choices made there.
    // False when cancelled.
    virtual bool printerSetup(QPrinter& printer);
    // Opens "Report Status"; without a user it never cancels.
    virtual std::unique_ptr<ReportStatus> reportStatus();
    // "Report Preview" of the sheets that paint draws on printer; the user may print from it.
    virtual void printPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint);
};

// The program's service. Until one is installed, every box is answered by a silent default
// (Ok / Yes / Cancel for input) so that code run without a user never blocks.
Dialogs& dialogs();
// Installs the service (not owned); nullptr puts the silent default back.
void setDialogs(Dialogs* service);
// The answer a box gets without a user: Yes where the buttons are Yes and No, else Ok.
MessageResult silentAnswer(MessageButtons buttons);

}  // namespace qb
