#pragma once

#include <QString>

namespace zelp {

enum class SearchDirection { Forward, Backward };

// Where a search landed: start of the match (-1: nowhere) and whether it went round the end.
struct TextHit {
    qsizetype start = -1;
    bool wrapped = false;

    bool found() const { return start >= 0; }
};

// Finds needle after the selection [selectionStart, selectionEnd) (forward) or before it
// (backward), going round the end of the text once when nothing is left in that direction.
TextHit findText(const QString &text, const QString &needle, qsizetype selectionStart,
                 qsizetype selectionEnd, SearchDirection direction, Qt::CaseSensitivity cs);

} // namespace zelp
