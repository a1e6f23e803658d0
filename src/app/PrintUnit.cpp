#include "app/PrintUnit.h"

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

#include <memory>
#include <stdexcept>

#include "app/MainUnit.h"
#include "platform/core/Dialogs.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Components.h"

namespace qb {
namespace {

// The sheet in device pixels, and the inch in them.
struct Sheet {
    double inch = 0;
    double width = 0;
    double height = 0;

    QPointF at(double x, double y) const { return {x * inch, y * inch}; }
    QSizeF body() const { return {width - 2 * inch, height - 2 * inch}; }
};

QFont reportFont() {
    QFont font(QStringLiteral("Arial"), 10);
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    return font;
}

void drawRule(QPainter& painter, const Sheet& sheet, double y) {
    painter.drawLine(sheet.at(0.4, y), QPointF(sheet.width - 0.4 * sheet.inch, y * sheet.inch));
}

void RvSystem1PrintHeader(QPainter& painter, const Sheet& sheet, const QString& title) {
    painter.setFont(reportFont());
    painter.drawText(sheet.at(0.5, 0.5), title);
    drawRule(painter, sheet, 0.6);
}

void RvSystem1PrintFooter(QPainter& painter, const Sheet& sheet, int number) {
    const double bottom = sheet.height / sheet.inch;
    painter.setFont(reportFont());
    painter.drawText(sheet.at(0.5, bottom - 0.5),
                     QStringLiteral("Page ") + QString::number(number));
    drawRule(painter, sheet, bottom - 0.7);
}

// The body of one sheet: the laid-out text's page `number`, clipped to the body.
void printBody(QPainter& painter, const Sheet& sheet, QTextDocument& doc, int number) {
    const QSizeF body = sheet.body();
    const QRectF view(QPointF(0, (number - 1) * body.height()), body);
    painter.save();
    painter.translate(sheet.at(1.0, 1.0) - view.topLeft());
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws every line that touches its clip: a line ending on the sheet's lower edge
    // would be drawn again, clipped away but still in the file, at the top of the next sheet.
    context.clip = view.adjusted(0, 1, 0, -1);
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

}  // namespace

int RvSystem1Print(QPrinter& printer, const QTextDocument& text, const QString& title) {
    // Positions count from the paper's corner, not from the printable area.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw std::runtime_error("The printer could not be started");
    }
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const Sheet sheet{double(printer.resolution()), double(paper.width()), double(paper.height())};

    // A copy of the page laid out on the printer at the body's size: the page itself keeps its
    // layout, and the layout's own pages are the sheets.
    std::unique_ptr<QTextDocument> doc(text.clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setDocumentMargin(0);
    QTextOption wrap = doc->defaultTextOption();
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc->setDefaultTextOption(wrap);
    doc->setPageSize(sheet.body());
    // A picture taller than the body runs on over as many sheets as its height needs: the layout
    // gives a finite number of pages whatever it holds.
    const int sheets = doc->pageCount();

    int from = printer.fromPage();
    int to = printer.toPage();
    if (from == 0 && to == 0) {
        from = 1;
        to = sheets;
    }
    from = std::max(from, 1);
    to = std::min(to, sheets);
    // Printers that cannot make copies themselves (PDF files among them) get every sheet again.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    const int documentCopies = collate ? copies : 1;
    const int sheetCopies = collate ? 1 : copies;

    // Drawing onto the preview makes its pages; anything else goes to the printer.
    const bool preview =
        printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Picture;
    const QString status =
        preview ? QStringLiteral("Generating page %p") : QStringLiteral("Printing page %p");
    const std::unique_ptr<ReportStatus> window = dialogs().reportStatus();

    QPen rule(Qt::black);
    rule.setWidthF(sheet.inch / 96.0);
    bool first = true;
    for (int c = 0; c < documentCopies; ++c) {
        for (int number = from; number <= to; ++number) {
            for (int s = 0; s < sheetCopies; ++s) {
                // Cancel stops before a sheet is begun: what was sent are whole sheets.
                if (!window->show(
                        QString(status).replace(QStringLiteral("%p"), QString::number(number)))) {
                    painter.end();
                    return sheets;
                }
                if (!first && !printer.newPage()) {
                    throw std::runtime_error("The printer could not start a new sheet");
                }
                first = false;
                painter.setPen(rule);
                RvSystem1PrintHeader(painter, sheet, title);
                printBody(painter, sheet, *doc, number);
                RvSystem1PrintFooter(painter, sheet, number);
            }
        }
    }
    painter.end();
    return sheets;
}

void PrintActionExecute(QWidget* frame) {
    auto* edit = frame ? findComponent<TRichEdit>(frame, u"RichEdit") : nullptr;
    if (!edit) {
        return;
    }
    const auto* label = findComponent<QLabel>(frame, u"TitleLabel");
    const QString title = label ? label->text() : QString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    if (!dialogs().printDialog(printer)) {
        return;
    }
    const std::optional<PrintDestination> destination = dialogs().outputOptions(printer);
    if (!destination) {
        return;
    }
    const auto paint = [edit, &title](QPrinter& target) {
        RvSystem1Print(target, *edit->document(), title);
    };
    if (*destination == PrintDestination::Preview) {
        dialogs().printPreview(printer, paint);
    } else {
        paint(printer);
    }
}

void InstallPrintAction(TMainForm& main) {
    main.SetActionHandler(main.PrintAction, [&main] { PrintActionExecute(main.CurrentEditor()); });
}

}  // namespace qb
