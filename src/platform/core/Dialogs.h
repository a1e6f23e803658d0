#pragma once
// The one service through which the program shows message boxes, input boxes and the common
// dialogs. The program installs the Qt implementation at start; tests install ScriptedDialogs
// and answer every box from a script, so that no behaviour test waits for a user.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

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

// A scripted service for tests: records every box and answers from queues.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        QString kind;  // "messageBox", "showMessage", "inputBox", "chooseColor", "chooseFont",
                       // "saveFileName" (text: the initial path, title: the title),
                       // "printDialog", "outputOptions", "printerSetup", "printPreview",
                       // "reportStatus" (title: "Report Status")
        QString title;
        QString text;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
        std::optional<std::uint32_t> initialColor = std::nullopt;  // chooseColor
        std::optional<FontChoice> initialFont = std::nullopt;      // chooseFont
    };

    ScriptedDialogs();            // installs itself
    ~ScriptedDialogs() override;  // puts the previous service back

    std::deque<MessageResult> messageAnswers;                   // default when empty: Ok / Yes
    std::deque<std::optional<QString>> inputAnswers;            // default when empty: nullopt
    std::deque<std::optional<std::uint32_t>> colorAnswers;      // default when empty: nullopt
    std::deque<std::optional<FontChoice>> fontAnswers;          // default when empty: nullopt
    std::deque<std::optional<QString>> saveFileAnswers;         // default when empty: nullopt
    std::deque<bool> printDialogAnswers;                        // default when empty: false
    std::deque<std::optional<PrintDestination>> outputAnswers;  // default when empty: nullopt
    std::deque<bool> outputSetupPresses;   // Setup pressed in the output options; default: not
    std::deque<bool> printerSetupAnswers;  // default when empty: false
    // Runs on the printer when the print dialog is confirmed, as the user's choices would (a
    // test points the printer at a PDF file here).
    std::function<void(QPrinter&)> preparePrinter;
    // Runs on the printer when the printer setup is confirmed.
    std::function<void(QPrinter&)> setupPrinter;
    // Every text the status windows showed, and the number of texts after which the user
    // presses Cancel (none when unset).
    QStringList statusTexts;
    std::optional<int> cancelStatusAfter;
    // How often the status windows were polled between texts, and the number of polls after
    // which the user presses Cancel (none when unset).
    int statusPolls = 0;
    std::optional<int> cancelStatusAfterPolls;
    std::vector<Shown> shown;

    MessageResult messageBox(const QString& text, const QString& title, MessageButtons buttons,
                             MessageIcon icon) override;
    void showMessage(const QString& text) override;
    std::optional<QString> inputBox(const QString& title, const QString& prompt,
                                    const QString& initial) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    std::optional<QString> saveFileName(const QString& title, const QString& initialPath,
                                        const QString& filter) override;
    bool printDialog(QPrinter& printer) override;
    std::optional<PrintDestination> outputOptions(QPrinter& printer) override;
    bool printerSetup(QPrinter& printer) override;
    std::unique_ptr<ReportStatus> reportStatus() override;
    // Paints the sheets once onto the printer, as the preview would show them.
    void printPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

  private:
    // A printer's dialog: recorded, answered from answers, and on OK the user's choices made.
    bool printerBox(const QString& kind, std::deque<bool>& answers,
                    const std::function<void(QPrinter&)>& choices, QPrinter& printer);

    Dialogs* previous_;
};

}  // namespace qb
