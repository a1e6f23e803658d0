// page_bench [runs]: opening and saving a document page of 1 MB of RTF, next to what they cannot
// do without in the same run: one RTF read of the text (open) and one RTF write of the page
// plus the commit of its row (save). Runs are interleaved; the figures are medians.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextDocument>
#include "support/Offscreen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "EmptyDiary.h"
#include "cipher/QbClass.h"
#include "editors/DocumentEditorUnit.h"
#include "platform/richedit/RichEdit.h"
#include "platform/rtf/Rtf.h"
#include "program/ProgramState.h"
#include "program/StaticUnit.h"
#include "store/DatabaseUnit.h"
#include "support/ScriptedDialogs.h"
#include "support/TenYearDiary.h"

namespace {

constexpr std::size_t kPageSize = 1024 * 1024;
const QString kName = QStringLiteral("Novel");

double msOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, const std::vector<double>& times) {
    const auto [low, high] = std::minmax_element(times.begin(), times.end());
    std::printf("%-36s %3zu runs  median %8.2f ms  min %8.2f ms  max %8.2f ms\n", what,
                times.size(), median(times), *low, *high);
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;

    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    const QString folder = scratch.path() + QLatin1Char('/');
    AppFolder = folder;
    CreateEmptyDiary((folder + QString::fromLatin1(DatabaseFileName)).toStdString());
    TQbBlowfish cipher;
    cipher.GenerateKey(DiaryKeyText());
    EntryCipher = &cipher;
    TDataModule1 module(folder, cipher);
    module.OpenDatabase();
    DataModule1 = &module;
    qb::ScriptedDialogs boxes;  // a Save Error box would be answered, and seen below

    const std::string text = bench::RtfOfSize(kPageSize, 7);
    qb::db::Table& documents = module.OtherDocTable;
    documents.Insert();
    documents.FieldByName("Name").SetAsQString(kName);
    documents.FieldByName("Entry").SetAsString(EncodeEntryText(text));
    documents.Post();
    std::printf("page: %zu bytes of RTF, platform %s\n", text.size(),
                qgetenv("QT_QPA_PLATFORM").constData());

    std::vector<double> open, read, save, writeAndCommit;
    for (int i = 0; i < runs; ++i) {
        std::unique_ptr<TDocumentEditorFrame> frame;
        open.push_back(msOf([&] {
            frame = std::make_unique<TDocumentEditorFrame>();
            frame->LoadDocument(kName, text);
        }));
        read.push_back(msOf([&] {
            QTextDocument document;
            document.setUndoRedoEnabled(false);
            qb::rtf::read(QByteArray::fromStdString(text), document);
        }));

        frame->SetIsModified(true);
        save.push_back(msOf([&] { frame->SaveDocumentWithStatus(); }));
        writeAndCommit.push_back(msOf([&] {
            const QByteArray rtf = qb::rtf::write(*frame->RichEdit->document());
            documents.Locate("Name", kName.toStdString());
            documents.Edit();
            documents.FieldByName("Entry").SetAsString(EncodeEntryText(rtf.toStdString()));
            documents.Post();
        }));
        if (frame->IsModified() || !boxes.shown.empty()) {
            std::fprintf(stderr, "the page was not saved\n");
            return 1;
        }
    }
    report("open (frame made, text loaded)", open);
    report("one RTF read of the text", read);
    report("save (with the status notice)", save);
    report("one RTF write + the row's commit", writeAndCommit);
    std::printf("open / rtf read  %.2fx\n", median(open) / median(read));
    std::printf("save / (rtf write + commit)  %.2fx\n", median(save) / median(writeAndCommit));
    return 0;
}
