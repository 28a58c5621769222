#include "files/pagetext.h"
#include "files/savechoice.h"

#include "common/errors.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

template <typename Edit> int errorOf(QString text, const Edit &edit) {
    try {
        edit(text);
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

TEST(ReplacePlaceholder, ReplacesAndSearchesAgainFromTheStart) {
    const struct {
        const char *text, *name, *value, *result;
    } cases[] = {
        {"a%X%b%X%c", "X", "1", "a1b1c"},
        {"%zelp_guid%/%Zelp_Guid%", "ZELP_GUID", "G", "G/G"},
        {"no token here", "X", "1", "no token here"},
        {"%X", "X", "1", "%X"},
        {"%X%", "X", "", ""},
        {"%X%X%", "X", "%", "%"}, // the first replacement forms a new token with what follows
        {"%%X%X%%", "X", "", "%"},
        {"%A%", "A", "%B%", "%B%"}, // another placeholder's token is left for that one
    };
    for (const auto &c : cases) {
        QString text = QString::fromUtf8(c.text);
        ReplacePlaceholder(text, QString::fromUtf8(c.name), QString::fromUtf8(c.value));
        EXPECT_EQ(text, QString::fromUtf8(c.result)) << c.text;
    }
}

TEST(PageText, PositionsAndCountsAreSixteenBit) {
    const QString token = QStringLiteral("%X%"), dots(32767, QLatin1Char('.'));
    const struct {
        QString text, value;
        int error;
    } cases[] = {
        {dots.mid(1) + token, {}, 0},
        {dots + token, {}, ErrNum::Overflow},
        {token + dots + dots, {}, 0}, // a long text is fine while no token lies beyond the limit
        {token.repeated(32767), {}, 0},
        {token.repeated(32768), {}, ErrNum::Overflow},
        {token, QStringLiteral("%x%.ats"), ErrNum::Overflow}, // a value holding its own token
        {token, QStringLiteral("a%X%.ats"), ErrNum::Overflow},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(errorOf(c.text, [&](QString &t) { ReplacePlaceholder(t, u"X", c.value); }),
                  c.error)
            << c.text.size() << " " << c.value.toStdString();
    }
    EXPECT_EQ(errorOf(dots + QStringLiteral("%<GUI%%GUI>%"),
                      [](QString &t) { ConditionalBlock(t, u"GUI", true); }),
              ErrNum::Overflow);
}

TEST(ConditionalBlock, KeepsOrDropsTheFirstBlock) {
    const struct {
        const char *text;
        bool keep;
        const char *result;
    } cases[] = {
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
    for (const auto &c : cases) {
        QString text = QString::fromUtf8(c.text);
        ConditionalBlock(text, u"GUI", c.keep);
        EXPECT_EQ(text, QString::fromUtf8(c.result)) << c.text << " keep=" << c.keep;
    }
}

TEST(SaveChoice, OptionAndGuiBoxMakeTheResult) {
    const struct {
        std::array<bool, 3> selected;
        bool gui;
        int16_t result;
    } cases[] = {
        {{true, false, false}, false, 1},  {{false, true, false}, false, 2},
        {{false, false, true}, false, 3},  {{true, false, false}, true, 129},
        {{false, true, false}, true, 130}, {{false, false, true}, true, 131},
        {{false, false, false}, false, 0}, {{false, false, false}, true, 0},
        {{false, true, true}, false, 2}, // the first selected one counts
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SaveChoice::resultFor(c.selected, c.gui), c.result)
            << c.selected[0] << c.selected[1] << c.selected[2] << c.gui;
    }
}

} // namespace
} // namespace zelp
