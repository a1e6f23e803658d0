#pragma once
// File > Print: the current page's whole text flowed over as many sheets as it needs, each with
// the page title and a rule at the top and "Page " with the sheet number and a rule at the
// bottom. The print dialog picks the printer (or a PDF file), copies and range; the output
// options send the sheets to the printer or to the preview.
//
// Sheet layout, in inches from the paper's top-left corner (W, H: the paper's size):
//   title, Arial 10, on the line at (0.5, 0.5); rule at y 0.6 from x 0.4 to W - 0.4;
//   body from (1.0, 1.0) to (W - 1.0, H - 1.0);
//   rule at y H - 0.7 from x 0.4 to W - 0.4; "Page n", Arial 10, on the line at (0.5, H - 0.5).

#include <QString>

class QPrinter;
class QTextDocument;
class QWidget;
class TMainForm;

namespace qb {

// Paints text onto printer, sheet by sheet, following the printer's page range and copies, under
// the "Report Status" window: "Printing page n" (or "Generating page n" onto the preview) before
// each sheet. The window comes first; the text is laid out as the sheets need it, and Cancel,
// reachable all along, ends the run before the next sheet (before the first, nothing is sent).
// Returns the number of sheets of the text laid out by the end: all of them unless a range or
// Cancel ended the run first. Raises std::runtime_error when the printer cannot be started.
int RvSystem1Print(QPrinter& printer, const QTextDocument& text, const QString& title);

// Prints the page in frame (an editor frame with its "RichEdit" and "TitleLabel"): the print
// dialog, the output options (with the printer's setup), then the printer or the preview. Nothing
// happens without a frame, and Cancel in either dialog prints nothing.
void PrintActionExecute(QWidget* frame);

// Gives the main window's Print action its handler.
void InstallPrintAction(TMainForm& main);

}  // namespace qb
