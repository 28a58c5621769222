#include "pagetext.h"

#include "common/errors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zelp {

namespace {

constexpr qsizetype kMaxPosition = std::numeric_limits<int16_t>::max();
constexpr int kMaxCount = std::numeric_limits<int16_t>::max();

[[noreturn]] void overflow() {
    raiseError(ErrNum::Overflow, "Overflow");
}

bool sameLetter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

bool endsWithToken(const QString &text, const QString &token) {
    const qsizetype start = text.size() - token.size();
    if (start < 0) {
        return false;
    }
    for (qsizetype i = 0; i < token.size(); ++i) {
        if (!sameLetter(text.at(start + i), token.at(i))) {
            return false;
        }
    }
    return true;
}

// 1-based position of the first match, 0 for none; overflow beyond the 16-bit range.
qsizetype findFromStart(const QString &text, const QString &marker) {
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at + 1 > kMaxPosition) {
        overflow();
    }
    return at + 1;
}

QString reversed(QStringView text) {
    QString out = text.toString();
    std::reverse(out.begin(), out.end());
    return out;
}

} // namespace

void ReplacePlaceholder(QString &text, QStringView name, QStringView value) {
    const QString token = QLatin1Char('%') + name.toString() + QLatin1Char('%');
    // Searching from the start after a replacement at p can only find a token that begins
    // after p - token length, so the text is read once from left to right: done holds what
    // lies before the read point, todo (reversed, next character last) what follows it, and
    // a replacement pushes the value back onto todo to be read again.
    QString done;
    done.reserve(text.size());
    QString todo = reversed(text);
    const QString valueBackwards = reversed(value);
    int count = 0;
    while (!todo.isEmpty()) {
        done.append(todo.back());
        todo.chop(1);
        if (!endsWithToken(done, token)) {
            continue;
        }
        const qsizetype position = done.size() - token.size() + 1;
        if (position > kMaxPosition || count == kMaxCount) {
            overflow();
        }
        ++count;
        done.chop(token.size());
        todo.append(valueBackwards);
    }
    text = done;
}

void ConditionalBlock(QString &text, QStringView name, bool keep) {
    const QString opening = QStringLiteral("%<") + name.toString() + QLatin1Char('%');
    const QString closing = QLatin1Char('%') + name.toString() + QStringLiteral(">%");
    const qsizetype open = findFromStart(text, opening);
    const qsizetype close = findFromStart(text, closing);
    // The closing marker must begin after the opening one has ended.
    if (open == 0 || close < open + opening.size()) {
        return;
    }
    if (keep) {
        text.remove(close - 1, closing.size());
        text.remove(open - 1, opening.size());
    } else {
        text.remove(open - 1, close - 1 + closing.size() - (open - 1));
    }
}

} // namespace zelp
