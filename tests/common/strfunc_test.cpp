#include "common/strfunc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CtrlToArrow, NotationAtEveryBoundary) {
    const std::pair<int, const char *> bytes[] = {
        {0, "^@"},     {13, "^M"},    {27, "^["},    {28, "^\\"},    {29, "^]"},    {30, "^~"},
        {31, "^_"},    {32, " ^"},    {33, "!"},     {92, "\\\\"},   {94, "^^"},    {126, "~"},
        {127, "^?"},   {128, "\\^@"}, {141, "\\^M"}, {156, "\\^\\"}, {157, "\\^]"}, {158, "\\^~"},
        {159, "\\^_"}, {160, "\\ "},  {193, "\\A"},  {219, "\\["},   {220, "\\^<"}, {221, "\\]"},
        {222, "\\^>"}, {223, "\\_"},  {254, "\\~"},  {255, "\\^?"},
    };
    for (const auto &[code, out] : bytes) {
        EXPECT_EQ(Strfunc::CtrlToArrow(std::string(1, char(code))), out) << code;
    }
    std::string tabs, expected;
    for (int i = 0; i < 5000; ++i) {
        tabs += "x\t";
        expected += "x^I";
    }
    const std::pair<std::string, std::string> texts[] = {
        {"", ""}, {"\r\n\x1b", "^M^J^["}, {"ab  ", "ab  ^"}, {"a b", "a b"}, {tabs, expected}};
    for (const auto &[in, out] : texts) {
        EXPECT_EQ(Strfunc::CtrlToArrow(in), out) << in.substr(0, 10);
    }
}

TEST(Dcount, CountsFields) {
    const struct {
        std::string text, delimiter;
        int count;
    } cases[] = {
        {"", ",", 0},     {"a", ",", 1},        {"a,", ",", 2}, {"a,,b", ",", 3},    {",", ",", 2},
        {"aaa", "aa", 3}, {"a<>b<>c", "<>", 3}, {"A", "a", 1},  {"a\nb\n", "\n", 3}, {"abc", "", 1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Strfunc::Dcount(c.text, c.delimiter), c.count) << c.text << " by " << c.delimiter;
    }
}

TEST(Field, ReturnsNumberedFields) {
    const struct {
        std::string text, delimiter;
        int n;
        std::string field;
    } cases[] = {
        {"a,,b", ",", 0, "a,,b"},  {"a,,b", ",", 1, "a"},     {"a,,b", ",", 2, ""},
        {"a,,b", ",", 3, "b"},     {"a,,b", ",", 4, ""},      {"a,b", ",", 2, "b"},
        {"a,b", ",", 3, ""},       {"", ",", 1, ""},          {"", ",", 0, ""},
        {"a,", ",", 2, ""},        {",a", ",", 1, ""},        {",a", ",", 2, "a"},
        {"x<>y<>z", "<>", 2, "y"}, {"x<>y<>z", "<>", 3, "z"}, {"abc", ",", 1, "abc"},
        {"abc", ",", -1, ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Strfunc::Field(c.text, c.delimiter, c.n), c.field) << c.text << " #" << c.n;
    }
}

} // namespace
