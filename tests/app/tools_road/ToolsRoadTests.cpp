// The search and printing through the whole program, offscreen: the program's windows made and
// started as the program's start does, a day found by the search and opened from its row, then
// printed to a PDF file through File > Print.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "EmptyDiary.h"
#include "app/MainUnit.h"
#include "app/ProgramWindows.h"
#include "editors/DayEditorUnit.h"
#include "platform/richedit/RichEdit.h"
#include "platform/ui/Application.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "tools/SearchUnit.h"

namespace {

TEST(ToolsRoadTest, ASearchHitOpensItsDayWhichPrintsToPdf) {
    qb::ManualClock clock;  // 5 March 2005
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    CreateEmptyDiary((folder.path() + QStringLiteral("/Marlowick.mdb")).toStdString());
    qb::ScriptedDialogs boxes;
    qb::clearQuitRequest();
    auto windows = std::make_unique<ProgramWindows>(folder.path());
    TMainForm* main = &windows->main();
    main->show();
    clock.advance(1);
    ASSERT_TRUE(main->StartupFinished());

    qb::db::Table& entries = DataModule1->EntryTable;
    entries.Insert();
    entries.FieldByName("sYYYYMMDD").SetAsQString("20050301");
    entries.FieldByName("Entry").SetAsString(
        EncodeEntryText("{\\rtf1\\ansi Rain all day.\\par A grey heron stood by the pond.}"));
    entries.Post();
    DataModule1->MarkMonthDay("20050301");

    SearchForm->SearchEdit->setText("heron");
    SearchForm->StartButtonClick();
    ASSERT_EQ(SearchForm->Results->count(), 1);
    SearchForm->OpenSelectedResult();
    auto* day = qobject_cast<TDayEditorFrame*>(main->CurrentEditor());
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->RichEdit->textCursor().selectedText(), "A grey heron stood by the pond.");

    const QString pdf = folder.filePath("day.pdf");
    boxes.printDialogAnswers = {true};
    boxes.outputAnswers = {qb::PrintDestination::Printer};
    boxes.preparePrinter = [&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    };
    main->ExecuteAction(main->PrintAction);
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("March 1, 2005 - Tuesday")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("A grey heron stood by the pond.")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("Page 1")) << printed.toStdString();

    windows.reset();
    qb::clearQuitRequest();
}

}  // namespace
