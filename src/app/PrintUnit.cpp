#include "app/PrintUnit.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextOption>

#include <cmath>
#include <functional>
#include <limits>
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

// The page's lengths (indents, pictures, tab stops) are kept in pixels of a 96-dpi screen, 15
// twips to the pixel, its fonts in points: laid out at that resolution and drawn scaled up, the
// copy on paper has every length at its size in points, as on screen.
constexpr double kLayoutDpi = 96;
// Paragraphs longer than this, in characters, are longer than a sheet.
constexpr int kShapedOnce = 8000;

// A copy of the page laid out for the sheets, apart from the page itself (which keeps its own
// layout); the layout's pages are the sheets. It is laid out as far as the sheets printed so
// far need, a paragraph at a time, so that Cancel gets in between paragraphs.
class PrintCopy {
  public:
    PrintCopy(const QTextDocument& text, QSizeF body) : text_(text), body_(body) {
        reference_.setDotsPerMeterX(int(std::lround(kLayoutDpi / 0.0254)));
        reference_.setDotsPerMeterY(int(std::lround(kLayoutDpi / 0.0254)));
    }

    // Lays out until sheets 1 to number are whole; poll runs between steps and ends the work
    // with false.
    bool layOut(int number, const std::function<bool()>& poll) {
        if (!doc_) {
            make();
        }
        const qreal bottom = number * body_.height();
        QAbstractTextDocumentLayout* layout = doc_->documentLayout();
        while (next_.isValid()) {
            if (!poll()) {
                return false;
            }
            // A paragraph that starts below the sheet leaves it whole, and the next sheet has
            // something on it.
            if (layout->blockBoundingRect(next_).top() >= bottom) {
                known_ = std::max(known_, number + 1);
                return true;
            }
            next_ = next_.next();
        }
        known_ = doc_->pageCount();
        return true;
    }

    // Whether the text reaches sheet number, as far as it is laid out.
    bool hasSheet(int number) const { return number <= known_; }
    int sheets() const { return known_; }

    // The body of one sheet: the layout's page number, scaled to the printer, clipped to the
    // body.
    void draw(QPainter& painter, const Sheet& sheet, int number) const {
        const QRectF view(QPointF(0, (number - 1) * body_.height()), body_);
        painter.save();
        painter.translate(sheet.at(1.0, 1.0));
        painter.scale(sheet.inch / kLayoutDpi, sheet.inch / kLayoutDpi);
        painter.translate(-view.topLeft());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        // The layout draws every line that touches its clip: a line ending on the sheet's lower
        // edge would be drawn again, clipped away but still in the file, at the top of the next
        // sheet.
        context.clip = view.adjusted(0, 1, 0, -1);
        context.palette.setColor(QPalette::Text, Qt::black);
        doc_->documentLayout()->draw(&painter, context);
        painter.restore();
    }

  private:
    void make() {
        doc_.reset(text_.clone());
        // Everything the layout depends on is set before it exists, so that the text is laid
        // out once, step by step, rather than whole at each setting.
        doc_->setPageSize(QSizeF());
        doc_->setDocumentMargin(0);
        QTextOption wrap = doc_->defaultTextOption();
        // A word longer than the body's width is broken rather than cut off at its edge; a text
        // the editor breaks anywhere (long runs without blanks) keeps that.
        if (wrap.wrapMode() != QTextOption::WrapAnywhere) {
            wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
        // Unrounded glyph widths: the line is scaled up many times on paper.
        wrap.setUseDesignMetrics(true);
        doc_->setDefaultTextOption(wrap);
        // A paragraph that runs over many sheets is drawn once for each: it keeps its shaped
        // text instead of shaping all of it again every time (the cost would grow with the
        // square of its length).
        for (QTextBlock block = doc_->firstBlock(); block.isValid(); block = block.next()) {
            if (block.length() > kShapedOnce) {
                block.layout()->setCacheEnabled(true);
            }
        }
        doc_->documentLayout()->setPaintDevice(&reference_);
        // A picture taller than the body runs on over as many sheets as its height needs: the
        // layout gives a finite number of pages whatever it holds.
        doc_->setPageSize(body_);
        next_ = doc_->firstBlock();
    }

    const QTextDocument& text_;
    QSizeF body_;
    QImage reference_{1, 1, QImage::Format_RGB32};
    std::unique_ptr<QTextDocument> doc_;
    QTextBlock next_;
    int known_ = 1;
};

}  // namespace

int RvSystem1Print(QPrinter& printer, const QTextDocument& text, const QString& title) {
    // Drawing onto the preview makes its pages; anything else goes to the printer.
    const bool preview =
        printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Picture;
    const QString status =
        preview ? QStringLiteral("Generating page %p") : QStringLiteral("Printing page %p");
    // The window comes before any work on the text, however long the text.
    const std::unique_ptr<ReportStatus> window = dialogs().reportStatus();
    const auto poll = [&window] { return window->poll(); };

    // Positions count from the paper's corner, not from the printable area.
    printer.setFullPage(true);
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const Sheet sheet{double(printer.resolution()), double(paper.width()), double(paper.height())};
    PrintCopy copy(text, sheet.body() * (kLayoutDpi / sheet.inch));

    int from = std::max(printer.fromPage(), 1);
    int to = printer.toPage();
    if (to == 0) {
        to = std::numeric_limits<int>::max();
    }
    // Printers that cannot make copies themselves (PDF files among them) get every sheet again.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    const int documentCopies = collate ? copies : 1;
    const int sheetCopies = collate ? 1 : copies;

    // The painter starts with the first sheet: a run cancelled before it sends nothing.
    QPainter painter;
    QPen rule(Qt::black);
    rule.setWidthF(sheet.inch / 96.0);
    const auto startSheet = [&] {
        if (!painter.isActive()) {
            if (!painter.begin(&printer)) {
                throw std::runtime_error("The printer could not be started");
            }
        } else if (!printer.newPage()) {
            throw std::runtime_error("The printer could not start a new sheet");
        }
    };
    const auto finish = [&] {
        if (painter.isActive()) {
            painter.end();
        }
        return copy.sheets();
    };

    for (int c = 0; c < documentCopies; ++c) {
        for (int number = from; number <= to; ++number) {
            if (number > from && !copy.hasSheet(number)) {
                break;
            }
            for (int s = 0; s < sheetCopies; ++s) {
                // Cancel stops before a sheet is begun: what was sent are whole sheets.
                if (!window->show(
                        QString(status).replace(QStringLiteral("%p"), QString::number(number))) ||
                    !copy.layOut(number, poll)) {
                    return finish();
                }
                if (!copy.hasSheet(number)) {
                    break;
                }
                startSheet();
                painter.setPen(rule);
                RvSystem1PrintHeader(painter, sheet, title);
                copy.draw(painter, sheet, number);
                RvSystem1PrintFooter(painter, sheet, number);
            }
        }
    }
    return finish();
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
