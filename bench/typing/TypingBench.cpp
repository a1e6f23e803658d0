// typing_bench [turns]: typing 200 characters into a day page of the real main window, one key
// at a time with the program idle after each (as a user types), on a 1 MB page of prose and on a
// 4 KB page, in turns. The keys come through Qt's whole key path: shortcut override, key press,
// the idle update of the actions.
//
// Measures offscreen and under X (the display it was started with, else xvfb-run): each platform
// in a run of this program of its own, which prints its figures and its closing line.

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "editors/BaseEditorUnit.h"
#include "pages/CustomPageControl.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/ProgramStyle.h"
#include "support/Interleaved.h"
#include "support/OnEachPlatform.h"
#include "support/TenYearDiary.h"
#include "support/UntilIdle.h"

namespace {

constexpr int kKeys = 200;

using bench::untilIdle;

// Opens the day and puts the cursor at the start of a paragraph in the middle of the page, the
// whole text laid out and shown there.
qb::TRichEdit* openAtMiddle(TMainForm& main, const QString& key) {
    main.Pages->ShowDay(key);
    untilIdle();
    auto* frame = qobject_cast<TBaseEditorFrame*>(main.CurrentEditor());
    if (frame == nullptr) {
        throw std::runtime_error("the day did not open");
    }
    qb::TRichEdit* edit = frame->RichEdit;
    QTextDocument* doc = edit->document();
    doc->documentLayout()->blockBoundingRect(doc->lastBlock());
    QTextCursor cursor(doc->findBlockByNumber(doc->blockCount() / 2));
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    edit->setFocus();
    untilIdle();
    return edit;
}

void type(qb::TRichEdit* edit) {
    static const char keys[] = "the evening was warm and we sat outside ";
    for (int i = 0; i < kKeys; ++i) {
        QTest::keyClick(edit, keys[i % (sizeof(keys) - 1)]);
        untilIdle();
    }
}

int measure(int turns) {
    const std::string on = " (" + QApplication::platformName().toStdString() + ")";
    bench::ScratchDiary diary(QStringLiteral("typing_bench"), QString());
    const QString large = diary.keys.at(200);
    const QString small = diary.keys.at(201);
    const std::string largeText = bench::ProseRtf(1000000, 11);
    bench::StoreDayText(diary.database, large, largeText);
    bench::StoreDayText(diary.database, small, bench::ProseRtf(4096, 12));

    ProgramWindows windows(diary.folder);
    TMainForm& main = windows.main();
    main.show();
    while (!main.StartupFinished()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    untilIdle();
    qb::TRichEdit* largeEdit = openAtMiddle(main, large);
    const int largeCharacters = largeEdit->GetTextLen();
    qb::TRichEdit* smallEdit = openAtMiddle(main, small);
    const int smallCharacters = smallEdit->GetTextLen();

    // Each turn selects its page first, untimed.
    const auto typeOn = [&main](const QString& key, qb::TRichEdit* edit) {
        return [&main, key, edit] {
            main.Pages->ShowDay(key);
            edit->setFocus();
            untilIdle();
        };
    };
    const auto selectLarge = typeOn(large, largeEdit);
    const auto selectSmall = typeOn(small, smallEdit);
    std::vector<double> largeTimes;
    std::vector<double> smallTimes;
    type(largeEdit);  // warm up both
    type(smallEdit);
    for (int turn = 0; turn < turns; ++turn) {
        selectLarge();
        largeTimes.push_back(bench::millisecondsOf([&] { type(largeEdit); }) / kKeys);
        selectSmall();
        smallTimes.push_back(bench::millisecondsOf([&] { type(smallEdit); }) / kKeys);
    }
    const double largeMs = bench::medianOf(largeTimes);
    const double smallMs = bench::medianOf(smallTimes);
    std::printf("platform %s, %d keys a turn, %d turns, %d and %d characters (RTF %zu bytes)\n",
                QApplication::platformName().toUtf8().constData(), kKeys, turns, largeCharacters,
                smallCharacters, largeText.size());
    std::printf("  per key: 1 MB page %.3f ms, 4 KB page %.3f ms\n", largeMs, smallMs);
    bench::printGoal("typing on a 1 MB page" + on, "typing on a 4 KB page", largeMs / smallMs);
    // The pages are left as typed: the scratch diary goes with the run.
    return 0;
}

// The program on one platform; its one argument, the number of turns, at argv[2].
int measureOnThisPlatform(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(TMainForm::LayoutFont());
    qb::programStyle();
    try {
        return measure(argc > 2 ? std::max(1, std::atoi(argv[2])) : 7);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    return bench::measureOnEachPlatform(argc, argv, measureOnThisPlatform);
}
