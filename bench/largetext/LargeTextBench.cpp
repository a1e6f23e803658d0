// largetext_bench [folder]: opening days whose stored text is very large (plain RTF rows, as
// another program writes them) in the program's real windows, over a ten-year diary: the time
// from the day's command to its page shown and idle, and to the whole text laid out (as Ctrl+End
// or the scroll bar's end asks). Texts beyond the page limits are refused with a box; the time
// to that refusal is shown instead. The last line compares opening the largest page the editor
// holds with reading its RTF alone.
//
// Runs on the platform of QT_QPA_PLATFORM (offscreen when unset).

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "editors/BaseEditorUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "platform/ui/ProgramStyle.h"
#include "support/Interleaved.h"
#include "support/Offscreen.h"
#include "support/ScriptedDialogs.h"
#include "support/TenYearDiary.h"
#include "support/UntilIdle.h"

namespace {

constexpr char kHeader[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs20 ";

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

using bench::untilIdle;

std::string repeated(std::size_t size, const std::string& piece) {
    std::string rtf = kHeader;
    while (rtf.size() < size - 1) {
        rtf += piece;
    }
    rtf.resize(size - 1);
    return rtf + "}";
}

// Paragraphs of pasted photographs (noise, so that JPEG keeps them large) with a caption each.
std::string photographs(std::size_t size) {
    QImage image(2400, 1800, QImage::Format_RGB32);
    std::mt19937 random(3);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = random();
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    const std::string picture = "Photo\\par {\\pict\\jpegblip\\picw2400\\pich1800 " +
                                jpeg.toHex().toStdString() + "}\\par\n";
    std::string rtf = kHeader;
    while (rtf.size() + picture.size() < size) {
        rtf += picture;
    }
    return rtf + "}";
}

class Diary {
  public:
    Diary(const QString& parent) : scratch_("largetext_bench", parent) {}

    // The day's row holds text as it is (plain RTF).
    void store(const QString& key, const std::string& text) {
        bench::StoreDayText(scratch_.database, key, text);
    }

    const QString& folder() const { return scratch_.folder; }
    const QString& day(std::size_t i) const { return scratch_.keys.at(i); }

  private:
    bench::ScratchDiary scratch_;
};

struct Opened {
    bool shown = false;
    int characters = 0;
    double idleMs = 0;
    double laidOutMs = 0;
};

// Opens the day in the main window as its calendar command does; closes it again after.
Opened open(TMainForm& main, const QString& key) {
    Opened result;
    QElapsedTimer timer;
    timer.start();
    main.Pages->ShowDay(key);
    untilIdle();
    result.idleMs = msSince(timer);
    auto* frame = qobject_cast<TBaseEditorFrame*>(main.CurrentEditor());
    if (frame == nullptr) {
        return result;
    }
    QTextDocument* doc = frame->RichEdit->document();
    doc->documentLayout()->blockBoundingRect(doc->lastBlock());
    result.laidOutMs = msSince(timer);
    result.shown = true;
    result.characters = frame->RichEdit->GetTextLen();
    main.CloseTabActionExecute();
    untilIdle();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TMainForm::LayoutFont());
    qb::programStyle();
    qb::ScriptedDialogs boxes;  // the refusals are answered at once
    Diary diary(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());

    struct Case {
        const char* what;
        std::string text;
    };
    const std::size_t mega = 1000000;
    const std::vector<Case> cases = {
        {"paragraphs of words, 1 MB", bench::RtfOfSize(1 * mega, 1)},
        {"paragraphs of words, 2.5 MB", bench::RtfOfSize(2500000, 2)},
        {"one paragraph of words, 1.9 MB", repeated(1900000, "diary walked the river ")},
        {"one run without blanks, 200 KB", repeated(200000, "abcdefghijklmnopqrstuvwxyz")},
        {"one run without blanks, 1.9 MB", repeated(1900000, "abcdefghijklmnopqrstuvwxyz")},
        {"photographs, 48 MB", photographs(48 * mega)},
        {"paragraphs of words, 50 MB", bench::RtfOfSize(50 * mega, 3)},
        {"one run without blanks, 50 MB", repeated(50 * mega, "abcdefghijklmnopqrstuvwxyz")},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        diary.store(diary.day(100 + i), cases[i].text);
    }

    ProgramWindows windows(diary.folder());
    TMainForm& main = windows.main();
    main.show();
    while (!main.StartupFinished()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    untilIdle();
    std::printf("platform %s, main window %dx%d\n", qgetenv("QT_QPA_PLATFORM").constData(),
                main.width(), main.height());
    std::printf("%-34s %10s  %-8s %12s %14s\n", "stored text", "characters", "page", "shown, ms",
                "laid out, ms");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Opened opened = open(main, diary.day(100 + i));
        if (opened.shown) {
            std::printf("%-34s %10d  %-8s %12.1f %14.1f\n", cases[i].what, opened.characters,
                        "opened", opened.idleMs, opened.laidOutMs);
        } else {
            std::printf("%-34s %10s  %-8s %12.1f %14s\n", cases[i].what, "-", "refused",
                        opened.idleMs, "-");
        }
    }

    // Before: a run without blanks laid out word by word, as every text was.
    {
        qb::TRichEdit edit;
        edit.resize(600, 450);
        edit.show();
        edit.LoadRtf(QByteArray::fromStdString(cases[3].text));
        QElapsedTimer timer;
        timer.start();
        edit.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit.document()->documentLayout()->blockBoundingRect(edit.document()->lastBlock());
        std::printf("%-34s %10d  %-8s %12s %14.1f\n", "  200 KB run, word wrap kept",
                    edit.GetTextLen(), "editor", "-", msSince(timer));
    }

    const QByteArray largest = QByteArray::fromStdString(cases[1].text);
    QElapsedTimer timer;
    timer.start();
    QTextDocument doc;
    qb::rtf::read(largest, doc);
    const double reading = msSince(timer);
    const double opening = open(main, diary.day(101)).laidOutMs;
    std::printf("open and lay out 2.5 MB day / read its RTF  %.1f ms / %.1f ms\n", opening,
                reading);
    bench::printGoal("open and lay out 2.5 MB day", "read its RTF", opening / reading);
    return 0;
}
