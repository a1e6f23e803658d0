#pragma once
// The dialogs service on Qt Widgets: message boxes, input boxes, the colour dialog and a font
// dialog with colour and effects, the save-file dialog, the print dialog, the output options with
// the page setup, the report status and the print preview. The program installs one at start
// (qb::setDialogs).

#include "platform/core/Dialogs.h"

namespace qb {

class QtDialogs : public Dialogs {
  public:
    // Starts following which windows the user activates, so that a box opened while no window
    // is active still belongs to the one the user works in.
    QtDialogs();
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
    void printPreview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
};

}  // namespace qb
