#include "files/pagetext.h"
#include "files/savechoice.h"

#include "common/errors.h"

#include <gtest/gtest.h>

namespace zelp {
namespace {

// The text after replacing %X% by value, or after keeping or dropping the first GUI block.
QString edited(QString text, const std::optional<QString> &value, bool keep = false) {
    if (value) {
        ReplacePlaceholder(text, u"X", *value);
    } else {
        ConditionalBlock(text, u"GUI", keep);
    }
    return text;
}

int errorOf(const QString &text, const std::optional<QString> &value) {
    try {
        edited(text, value, true);
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

TEST(PageText, PlaceholdersAreReplacedSearchingAgainFromTheStart) {
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"a%X%b%X%c", "1", "a1b1c"},
        {"%x%/%X%", "G", "G/G"},
        {"no token here", "1", "no token here"},
        {"%X", "1", "%X"},
        {"%X%", "", ""},
        {"%%X%X%%", "", "%"},
        {"%X%X%", "%", "%"},   // the first replacement forms a new token with what follows
        {"%X%", "%B%", "%B%"}, // another placeholder's token is left for that one
    };
    for (const auto &[text, value, result] : cases) {
        EXPECT_EQ(edited(text, QString::fromUtf8(value)), QString::fromUtf8(result)) << text;
    }
}

TEST(PageText, ConditionalBlockKeepsOrDropsTheFirstBlock) {
    const std::tuple<const char *, bool, const char *> cases[] = {
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
    for (const auto &[text, keep, result] : cases) {
        EXPECT_EQ(edited(text, std::nullopt, keep), QString::fromUtf8(result)) << text << keep;
    }
}

TEST(PageText, PositionsAndCountsAreSixteenBit) {
    const QString token = QStringLiteral("%X%"), dots(32767, QLatin1Char('.'));
    const std::tuple<QString, std::optional<QString>, int> cases[] = {
        {dots.mid(1) + token, QString(), 0},
        {dots + token, QString(), ErrNum::Overflow},
        {token + dots + dots, QString(), 0}, // no token beyond the limit
        {token.repeated(32767), QString(), 0},
        {token.repeated(32768), QString(), ErrNum::Overflow},
        {token, QStringLiteral("%x%.ats"), ErrNum::Overflow}, // a value holding its own token
        {token, QStringLiteral("a%X%.ats"), ErrNum::Overflow},
        {dots + QStringLiteral("%<GUI%%GUI>%"), std::nullopt, ErrNum::Overflow},
    };
    for (const auto &[text, value, error] : cases) {
        EXPECT_EQ(errorOf(text, value), error)
            << text.size() << " " << value.value_or("GUI").size();
    }
}

TEST(SaveChoice, OptionAndGuiBoxMakeTheResult) {
    const std::tuple<std::array<bool, 3>, bool, int16_t> cases[] = {
        {{true, false, false}, false, 1},  {{false, true, false}, false, 2},
        {{false, false, true}, false, 3},  {{true, false, false}, true, 129},
        {{false, true, false}, true, 130}, {{false, false, true}, true, 131},
        {{false, false, false}, false, 0}, {{false, false, false}, true, 0},
        {{false, true, true}, false, 2}, // the first selected one counts
    };
    for (const auto &[selected, gui, result] : cases) {
        EXPECT_EQ(SaveChoice::resultFor(selected, gui), result)
            << selected[0] << selected[1] << selected[2] << gui;
    }
    // The page and the GUI choice back from a result.
    EXPECT_EQ(SaveChoice::pageOf(131), 3);
    EXPECT_TRUE(SaveChoice::guiSupportOf(131));
    EXPECT_EQ(SaveChoice::pageOf(2), 2);
    EXPECT_FALSE(SaveChoice::guiSupportOf(2));
}

} // namespace
} // namespace zelp
