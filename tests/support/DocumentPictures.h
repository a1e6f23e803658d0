#pragma once
// The pictures a rich-text document holds, in the order of the text.

#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>

#include <vector>

namespace qb::test {

inline std::vector<QTextImageFormat> pictures(const QTextDocument& doc) {
    std::vector<QTextImageFormat> found;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) {
                found.push_back(it.fragment().charFormat().toImageFormat());
            }
        }
    }
    return found;
}

}  // namespace qb::test
