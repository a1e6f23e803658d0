#include "platform/core/ComposedText.h"

#include <QChar>

#include <algorithm>

namespace qb::text {

namespace {

// A unit that composing may join to what stands before it: a combining mark, or a Hangul vowel
// or final consonant that joins a syllable.
bool joinsThePrevious(char32_t c) {
    return QChar::combiningClass(c) != 0 || (c >= 0x1160 && c <= 0x11FF) ||
           QChar::category(c) == QChar::Mark_NonSpacing ||
           QChar::category(c) == QChar::Mark_SpacingCombining;
}

char32_t codePointAt(QStringView text, qsizetype i, qsizetype* units) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *units = 1;
    return c.unicode();
}

}  // namespace

bool mayNeedComposing(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x300; });
}

ComposedText::ComposedText(QStringView original) {
    if (!mayNeedComposing(original)) {
        text_ = original.toString();
        return;
    }
    text_ = original.toString().normalized(QString::NormalizationForm_C);
    if (text_ == original) {
        return;
    }
    // Composed piece by piece, a letter with the marks after it, so that every composed unit
    // knows where it came from.
    text_.clear();
    text_.reserve(original.size());
    origin_.reserve(size_t(original.size()) + 1);
    qsizetype at = 0;
    while (at < original.size()) {
        qsizetype units = 0;
        codePointAt(original, at, &units);
        qsizetype end = at + units;
        while (end < original.size()) {
            qsizetype next = 0;
            const char32_t c = codePointAt(original, end, &next);
            if (!joinsThePrevious(c)) {
                break;
            }
            end += next;
        }
        const QString piece =
            original.mid(at, end - at).toString().normalized(QString::NormalizationForm_C);
        for (qsizetype k = 0; k < piece.size(); ++k) {
            origin_.push_back(int(at + std::min(k, end - at - 1)));
        }
        text_ += piece;
        at = end;
    }
    origin_.push_back(int(original.size()));
}

int ComposedText::originOf(qsizetype index) const {
    if (origin_.empty()) {
        return int(index);
    }
    return origin_[size_t(std::clamp<qsizetype>(index, 0, text_.size()))];
}

qsizetype ComposedText::composedAt(int originalPosition) const {
    if (origin_.empty()) {
        return originalPosition;
    }
    return std::lower_bound(origin_.begin(), origin_.end(), originalPosition) - origin_.begin();
}

}  // namespace qb::text
