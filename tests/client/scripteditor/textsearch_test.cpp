#include "client/scripteditor/textsearch.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

TEST(TextSearch, NextAndPreviousGoRoundTheEnd) {
    const QString text = QStringLiteral("Sub a\ncall b\nCALL c\nEnd Sub");
    constexpr auto F = SearchDirection::Forward;
    constexpr auto B = SearchDirection::Backward;
    struct Case {
        const char *needle;
        qsizetype selStart, selEnd;
        SearchDirection direction;
        Qt::CaseSensitivity cs;
        qsizetype start;
        bool wrapped;
    };
    const Case cases[] = {
        {"call", 0, 0, F, Qt::CaseInsensitive, 6, false},
        {"call", 6, 10, F, Qt::CaseInsensitive, 13, false}, // past the selected match
        {"call", 13, 17, F, Qt::CaseInsensitive, 6, true},
        {"call", 13, 17, F, Qt::CaseSensitive, 6, true},
        {"CALL", 13, 17, F, Qt::CaseSensitive, 13, true}, // the only match is the selection
        {"call", 13, 17, B, Qt::CaseInsensitive, 6, false},
        {"call", 6, 10, B, Qt::CaseInsensitive, 13, true},
        {"call", 0, 0, B, Qt::CaseInsensitive, 13, true},
        {"sub", 26, 26, B, Qt::CaseInsensitive, 24, false},
        {"Sub", 24, 27, F, Qt::CaseSensitive, 0, true},
        {"Sub", 0, 3, B, Qt::CaseSensitive, 24, true},
        {"loop", 5, 5, F, Qt::CaseInsensitive, -1, false},
        {"loop", 5, 5, B, Qt::CaseInsensitive, -1, false},
        {"", 0, 0, F, Qt::CaseInsensitive, -1, false},
        {"call", 500, 900, F, Qt::CaseInsensitive, 6, true}, // positions beyond the text
    };
    for (const Case &c : cases) {
        const TextHit hit =
            findText(text, QString::fromLatin1(c.needle), c.selStart, c.selEnd, c.direction, c.cs);
        EXPECT_EQ(hit.start, c.start) << c.needle << " from " << c.selStart;
        EXPECT_EQ(hit.wrapped, c.wrapped) << c.needle << " from " << c.selStart;
        EXPECT_EQ(hit.found(), c.start >= 0);
    }
    EXPECT_FALSE(findText(QStringLiteral("ab"), QStringLiteral("abc"), 0, 0, B, Qt::CaseInsensitive)
                     .found());
}

} // namespace
} // namespace zelp
