// Reading, writing and extracting paragraphs of a 5 KB and a 1 MB entry, next to Qt's own
// rich-text import (QTextDocument::setHtml of the same text as HTML) in the same run.

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include "support/Offscreen.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/rtf/Rtf.h"

namespace {

// One paragraph of a diary entry as the formatting actions make it.
void addParagraph(QTextCursor& c, int n) {
    QTextCharFormat plain;
    plain.setFontFamilies(QStringList{QStringLiteral("Arial")});
    plain.setFontPointSize(10);
    QTextCharFormat bold = plain;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red = plain;
    red.setForeground(QColor(255, 0, 0));
    QTextCharFormat big = plain;
    big.setFontFamilies(QStringList{QStringLiteral("Times New Roman")});
    big.setFontPointSize(14);
    QTextBlockFormat block;
    block.setAlignment(n % 7 == 0 ? Qt::AlignHCenter : Qt::AlignLeft);
    block.setTextIndent(n % 5 == 0 ? 240 / qb::rtf::kTwipsPerPixel : 0);
    if (n > 0) {
        c.insertBlock(block, plain);
    } else {
        c.setBlockFormat(block);
    }
    if (n % 11 == 3) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        c.createList(list);
    }
    c.insertText(QStringLiteral("Today we walked along the river to the old mill, "), plain);
    c.insertText(QStringLiteral("which was closed"), bold);
    c.insertText(QStringLiteral(" again; the water was high after the rain. "), plain);
    c.insertText(QString::fromUtf16(u"Встреча в кафе «Лето», café crème. "), red);
    c.insertText(QStringLiteral("Notes:\tbring the map"), big);
}

void buildEntry(QTextDocument& doc, qsizetype targetBytes) {
    QTextCursor c(&doc);
    int n = 0;
    // Grow in steps, measuring the written size now and then rather than after every line.
    for (qsizetype size = 0; size < targetBytes;) {
        const int step = std::max(1, int((targetBytes - size) / 600));
        for (int i = 0; i < step; ++i) {
            addParagraph(c, n++);
        }
        size = qb::rtf::write(doc).size();
    }
}

double bestMs(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void measure(const char* label, qsizetype targetBytes, int runs) {
    QTextDocument source;
    buildEntry(source, targetBytes);
    const QByteArray rtf = qb::rtf::write(source);
    const QString html = source.toHtml();

    QTextDocument doc;
    const double read = bestMs(runs, [&] { qb::rtf::read(rtf, doc); });
    const double write = bestMs(runs, [&] { (void)qb::rtf::write(doc); });
    const double paragraphs = bestMs(runs, [&] { (void)qb::rtf::paragraphs(rtf); });
    QTextDocument htmlDoc;
    const double setHtml = bestMs(runs, [&] { htmlDoc.setHtml(html); });

    std::printf("%s entry: %lld bytes RTF, %lld characters HTML, %d paragraphs\n", label,
                static_cast<long long>(rtf.size()), static_cast<long long>(html.size()),
                doc.blockCount());
    auto line = [setHtml](const char* what, double ms) {
        std::printf("  %-22s %10.3f ms   %6.2f x setHtml\n", what, ms, ms / setHtml);
    };
    line("RTF read", read);
    line("RTF write", write);
    line("RTF paragraphs", paragraphs);
    line("setHtml (reference)", setHtml);
}

}  // namespace

int main(int argc, char** argv) {
    bench::UseOffscreenUnlessSet();
    QGuiApplication app(argc, argv);
    std::printf("best of several runs each\n");
    measure("5 KB", 5 * 1024, 50);
    measure("1 MB", 1024 * 1024, 5);
    return 0;
}
