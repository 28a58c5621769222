#include "common/strfunc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string byte(int code) {
    return std::string(1, static_cast<char>(code));
}

struct ArrowCase {
    std::string in;
    std::string out;
};

TEST(CtrlToArrow, NotationAtEveryBoundary) {
    const ArrowCase cases[] = {
        {"", ""},
        {byte(0), "^@"},
        {byte(13), "^M"},
        {byte(27), "^["},
        {byte(28), "^\\"},
        {byte(29), "^]"},
        {byte(30), "^~"},
        {byte(31), "^_"},
        {byte(32), " ^"},
        {"!", "!"},
        {"\\", "\\\\"},
        {"^", "^^"},
        {"~", "~"},
        {byte(126), "~"},
        {byte(127), "^?"},
        {byte(128), "\\^@"},
        {byte(141), "\\^M"},
        {byte(156), "\\^\\"},
        {byte(157), "\\^]"},
        {byte(158), "\\^~"},
        {byte(159), "\\^_"},
        {byte(160), "\\ "},
        {byte(193), "\\A"},
        {byte(219), "\\["},
        {byte(220), "\\^<"},
        {byte(221), "\\]"},
        {byte(222), "\\^>"},
        {byte(223), "\\_"},
        {byte(254), "\\~"},
        {byte(255), "\\^?"},
        {"\r\n\x1b", "^M^J^["},
        {"ab  ", "ab  ^"},
        {"a b", "a b"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Strfunc::CtrlToArrow(c.in), c.out)
            << "input code " << (c.in.empty() ? -1 : (unsigned char)c.in[0]);
    }
}

TEST(CtrlToArrow, LongTextKeepsEveryCharacter) {
    std::string in;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        in += "x\t";
        expected += "x^I";
    }
    EXPECT_EQ(Strfunc::CtrlToArrow(in), expected);
}

struct CountCase {
    std::string text;
    std::string delimiter;
    int count;
};

TEST(Dcount, CountsFields) {
    const CountCase cases[] = {
        {"", ",", 0},     {"a", ",", 1},        {"a,", ",", 2}, {"a,,b", ",", 3},    {",", ",", 2},
        {"aaa", "aa", 3}, {"a<>b<>c", "<>", 3}, {"A", "a", 1},  {"a\nb\n", "\n", 3}, {"abc", "", 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Strfunc::Dcount(c.text, c.delimiter), c.count)
            << "'" << c.text << "' by '" << c.delimiter << "'";
    }
}

struct FieldCase {
    std::string text;
    std::string delimiter;
    int n;
    std::string field;
};

TEST(Field, ReturnsNumberedFields) {
    const FieldCase cases[] = {
        {"a,,b", ",", 0, "a,,b"},  {"a,,b", ",", 1, "a"},     {"a,,b", ",", 2, ""},
        {"a,,b", ",", 3, "b"},     {"a,,b", ",", 4, ""},      {"a,b", ",", 2, "b"},
        {"a,b", ",", 3, ""},       {"", ",", 1, ""},          {"", ",", 0, ""},
        {"a,", ",", 2, ""},        {",a", ",", 1, ""},        {",a", ",", 2, "a"},
        {"x<>y<>z", "<>", 2, "y"}, {"x<>y<>z", "<>", 3, "z"}, {"abc", ",", 1, "abc"},
        {"abc", ",", -1, ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Strfunc::Field(c.text, c.delimiter, c.n), c.field)
            << "'" << c.text << "' field " << c.n;
    }
}

} // namespace
