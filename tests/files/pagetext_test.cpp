#include "files/pagetext.h"

#include "common/errors.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

int overflowOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

TEST(ReplacePlaceholder, ReplacesAndSearchesAgainFromTheStart) {
    struct Case {
        const char *text;
        const char *name;
        const char *value;
        const char *result;
    };
    const Case cases[] = {
        {"a%X%b%X%c", "X", "1", "a1b1c"},
        {"%zelp_guid%/%Zelp_Guid%", "ZELP_GUID", "G", "G/G"},
        {"no token here", "X", "1", "no token here"},
        {"%X", "X", "1", "%X"},
        {"%X%", "X", "", ""},
        // The first replacement forms a new token with the text after it.
        {"%X%X%", "X", "%", "%"},
        {"%%X%X%%", "X", "", "%"},
        // A value bringing in another placeholder's token leaves it for that one.
        {"%A%", "A", "%B%", "%B%"},
    };
    for (const Case &c : cases) {
        QString text = QString::fromUtf8(c.text);
        ReplacePlaceholder(text, QString::fromUtf8(c.name), QString::fromUtf8(c.value));
        EXPECT_EQ(text, QString::fromUtf8(c.result)) << c.text;
    }
}

TEST(ReplacePlaceholder, PositionsAndCountsAreSixteenBit) {
    auto replaceIn = [](QString text, const QString &value) {
        return [text, value]() mutable { ReplacePlaceholder(text, u"X", value); };
    };
    const QString token = QStringLiteral("%X%");
    EXPECT_EQ(overflowOf(replaceIn(QString(32766, QLatin1Char('.')) + token, {})), 0);
    EXPECT_EQ(overflowOf(replaceIn(QString(32767, QLatin1Char('.')) + token, {})),
              ErrNum::Overflow);
    // A long text is fine as long as no token lies beyond the limit.
    EXPECT_EQ(overflowOf(replaceIn(token + QString(40000, QLatin1Char('.')), {})), 0);
    EXPECT_EQ(overflowOf(replaceIn(token.repeated(32767), {})), 0);
    EXPECT_EQ(overflowOf(replaceIn(token.repeated(32768), {})), ErrNum::Overflow);
    // A value holding its own token repeats until a limit is reached.
    EXPECT_EQ(overflowOf(replaceIn(token, QStringLiteral("%x%.ats"))), ErrNum::Overflow);
    EXPECT_EQ(overflowOf(replaceIn(token, QStringLiteral("a%X%.ats"))), ErrNum::Overflow);
}

TEST(ConditionalBlock, KeepsOrDropsTheFirstBlock) {
    struct Case {
        const char *text;
        bool keep;
        const char *result;
    };
    const Case cases[] = {
        {"a\r\n%<GUI%\r\nb\r\n%GUI>%\r\nc", true, "a\r\n\r\nb\r\n\r\nc"},
        {"a\r\n%<GUI%\r\nb\r\n%GUI>%\r\nc", false, "a\r\n\r\nc"},
        {"a%<gui%b%Gui>%c", true, "abc"},
        {"a%<gui%b%Gui>%c", false, "ac"},
        {"a%<GUI%b", false, "a%<GUI%b"},
        {"a%GUI>%b%<GUI%c", false, "a%GUI>%b%<GUI%c"},
        {"%<GUI%GUI>%", false, "%<GUI%GUI>%"},
        {"%<GUI%%GUI>%", false, ""},
        {"1%<GUI%2%GUI>%3%<GUI%4%GUI>%5", false, "13%<GUI%4%GUI>%5"},
        {"1%<GUI%2%<GUI%3%GUI>%4", true, "12%<GUI%34"},
    };
    for (const Case &c : cases) {
        QString text = QString::fromUtf8(c.text);
        ConditionalBlock(text, u"GUI", c.keep);
        EXPECT_EQ(text, QString::fromUtf8(c.result)) << c.text << " keep=" << c.keep;
    }
}

TEST(ConditionalBlock, MarkerBeyondTheLimitOverflows) {
    QString text = QString(32767, QLatin1Char('.')) + QStringLiteral("%<GUI%%GUI>%");
    EXPECT_EQ(overflowOf([&] { ConditionalBlock(text, u"GUI", true); }), ErrNum::Overflow);
}

} // namespace
} // namespace zelp
