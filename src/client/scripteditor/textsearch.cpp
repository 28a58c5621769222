#include "textsearch.h"

#include <algorithm>

namespace zelp {

namespace {

// The last match that starts at or before from; from may be negative (nothing there).
qsizetype lastStartingBefore(const QString &text, const QString &needle, qsizetype from,
                             Qt::CaseSensitivity cs) {
    from = std::min(from, text.size() - needle.size());
    // QString counts a negative start from the end, which is not what is meant here.
    return from < 0 ? -1 : text.lastIndexOf(needle, from, cs);
}

} // namespace

TextHit findText(const QString &text, const QString &needle, qsizetype selectionStart,
                 qsizetype selectionEnd, SearchDirection direction, Qt::CaseSensitivity cs) {
    TextHit hit;
    if (needle.isEmpty() || needle.size() > text.size()) {
        return hit;
    }
    selectionStart = std::clamp<qsizetype>(selectionStart, 0, text.size());
    selectionEnd = std::clamp<qsizetype>(selectionEnd, selectionStart, text.size());
    if (direction == SearchDirection::Forward) {
        hit.start = text.indexOf(needle, selectionEnd, cs);
        if (hit.start < 0) {
            hit.start = text.indexOf(needle, 0, cs);
            hit.wrapped = hit.start >= 0;
        }
    } else {
        hit.start = lastStartingBefore(text, needle, selectionStart - 1, cs);
        if (hit.start < 0) {
            hit.start = lastStartingBefore(text, needle, text.size(), cs);
            hit.wrapped = hit.start >= 0;
        }
    }
    return hit;
}

} // namespace zelp
