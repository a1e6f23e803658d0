// print_bench: File > Print of the largest page the editor holds, one paragraph of 2,000,000
// characters of diary words, to a PDF file through the real "Report Status" window: the time to
// the window, the longest stretch in which Cancel could not get in, and the whole run. The last
// line compares the print with reading the page's RTF (the page's own saved bytes).
//
// Runs on the platform of QT_QPA_PLATFORM (offscreen when unset).

#include <QApplication>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "app/PrintUnit.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "platform/ui/QtDialogs.h"
#include "support/Interleaved.h"
#include "support/Offscreen.h"

namespace {

constexpr int kCharacters = 2000000;

// One paragraph of words as a user writes them, some bold, some in a second colour.
std::string onePageOfWords() {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red128\\green0\\blue0;}"
        "\\f0\\fs20 ";
    const char* words[] = {"diary ", "walked ", "along ", "the ", "river ", "today, ",
                           "and ",   "rain ",   "fell ",  "on ",  "mill. "};
    std::mt19937 random(5);
    int characters = 0;
    while (characters < kCharacters) {
        const std::string word = words[random() % 11];
        const int n = std::min<int>(int(word.size()), kCharacters - characters);
        const unsigned style = random() % 40;
        if (style == 0) {
            rtf += "{\\b " + word.substr(0, n) + "}";
        } else if (style == 1) {
            rtf += "{\\cf1 " + word.substr(0, n) + "}";
        } else {
            rtf += word.substr(0, n);
        }
        characters += n;
    }
    return rtf + "\\par}";
}

// The real status window, timed: when it came, and the longest wait between two chances for
// the user's Cancel to get in.
class TimedDialogs : public qb::QtDialogs {
  public:
    std::unique_ptr<qb::ReportStatus> reportStatus() override {
        return std::make_unique<Timed>(*this, qb::QtDialogs::reportStatus());
    }
    double firstMs = -1;
    double longestWaitMs = 0;
    QElapsedTimer run;

  private:
    class Timed : public qb::ReportStatus {
      public:
        Timed(TimedDialogs& owner, std::unique_ptr<qb::ReportStatus> window)
            : owner_(owner), window_(std::move(window)) {
            owner_.firstMs = owner_.run.nsecsElapsed() / 1e6;
            last_.start();
        }
        bool show(const QString& text) override { return note(window_->show(text)); }
        bool poll() override { return note(window_->poll()); }

      private:
        bool note(bool going) {
            owner_.longestWaitMs = std::max(owner_.longestWaitMs, last_.nsecsElapsed() / 1e6);
            last_.restart();
            return going;
        }
        TimedDialogs& owner_;
        std::unique_ptr<qb::ReportStatus> window_;
        QElapsedTimer last_;
    };
};

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TimedDialogs dialogs;
    qb::setDialogs(&dialogs);

    qb::TRichEdit edit;
    edit.resize(800, 600);
    edit.show();
    edit.LoadRtf(QByteArray::fromStdString(onePageOfWords()));
    const QByteArray saved = edit.SaveRtf();
    {
        // The reference reads the whole page, or its figure would mean nothing.
        QTextDocument whole;
        qb::rtf::read(saved, whole);
        if (whole.characterCount() - 1 < kCharacters) {
            std::fprintf(stderr, "the page's RTF does not read back whole\n");
            return 1;
        }
    }
    QTemporaryDir dir;

    int sheets = 0;
    double worstFirst = 0;
    double worstWait = 0;
    const auto print = [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("page.pdf"));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        dialogs.longestWaitMs = 0;
        dialogs.run.start();
        sheets = qb::RvSystem1Print(printer, *edit.document(), "March  5, 2025 - Wednesday");
        worstFirst = std::max(worstFirst, dialogs.firstMs);
        worstWait = std::max(worstWait, dialogs.longestWaitMs);
    };
    const auto read = [&saved] {
        QTextDocument doc;
        qb::rtf::read(saved, doc);
    };
    const auto times = bench::interleavedRuns(5, {print, read});
    const double printing = bench::medianOf(times[0]);
    const double reading = bench::medianOf(times[1]);
    std::printf("platform %s; page of %d characters, one paragraph, %lld bytes of RTF\n",
                qgetenv("QT_QPA_PLATFORM").constData(), edit.GetTextLen(),
                static_cast<long long>(saved.size()));
    std::printf(
        "sheets %d; status window up after %.1f ms at most; Cancel waited %.1f ms at "
        "most\n",
        sheets, worstFirst, worstWait);
    std::printf("print %.1f ms (median) / read its RTF %.1f ms (median)\n", printing, reading);
    bench::printGoal("print 2,000,000-character page", "its RTF read", printing / reading);
    qb::setDialogs(nullptr);
    return 0;
}
