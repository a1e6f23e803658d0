#pragma once
// Texts compared as a reader sees them: an accent typed as its own mark after the letter (as
// some systems and web pages give it) and the composed letter are the same text. Comparisons
// run on the composed form (NFC) while every position found is one of the original text, which
// is never changed.

#include <QString>
#include <QStringView>

#include <vector>

namespace qb::text {

class ComposedText {
  public:
    explicit ComposedText(QStringView original);

    const QString& text() const { return text_; }
    // The position in the original text where the composed text's unit at index (0 to the
    // composed length) comes from; a letter composed of several original units maps to the
    // first of them, the end to the original's end.
    int originOf(qsizetype index) const;
    // The first composed position whose origin is at or after the original position.
    qsizetype composedAt(int originalPosition) const;
    // Where each composed unit came from, one more than the text; empty when composing
    // changed nothing and every position is its own.
    const std::vector<int>& origins() const { return origin_; }

  private:
    QString text_;
    std::vector<int> origin_;  // one more than text_; empty where composing changed nothing
};

// False for a text that composing leaves as it is for certain: every unit lies below the
// first combining mark, U+0300.
bool mayNeedComposing(QStringView text);

}  // namespace qb::text
