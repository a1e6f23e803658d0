#pragma once
// A dialogs service for tests: records every box and answers from queues, so that no behaviour
// test waits for a user.

#include "platform/core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qb {

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
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

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
