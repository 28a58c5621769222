#include "common/strfunc.h"

#include <gtest/gtest.h>

#include <QByteArray>

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
    const std::string tabs = QByteArray("x\t").repeated(5000).toStdString();
    const std::string expected = QByteArray("x^I").repeated(5000).toStdString();
    for (const auto &[in, out] : {std::pair<std::string, std::string>{"", ""},
                                  {"\r\n\x1b", "^M^J^["},
                                  {"ab  ", "ab  ^"},
                                  {"a b", "a b"},
                                  {tabs, expected}}) {
        EXPECT_EQ(Strfunc::CtrlToArrow(in), out) << in.substr(0, 10);
    }
}

TEST(Strfunc, CountsAndReturnsFields) {
    const std::tuple<std::string, std::string, int> counts[] = {
        {"", ",", 0},     {"a", ",", 1},        {"a,", ",", 2}, {"a,,b", ",", 3},    {",", ",", 2},
        {"aaa", "aa", 3}, {"a<>b<>c", "<>", 3}, {"A", "a", 1},  {"a\nb\n", "\n", 3}, {"abc", "", 1},
    };
    for (const auto &[text, delimiter, count] : counts) {
        EXPECT_EQ(Strfunc::Dcount(text, delimiter), count) << text << " by " << delimiter;
    }
    const std::tuple<std::string, std::string, int, std::string> fields[] = {
        {"a,,b", ",", 0, "a,,b"},  {"a,,b", ",", 1, "a"},     {"a,,b", ",", 2, ""},
        {"a,,b", ",", 3, "b"},     {"a,,b", ",", 4, ""},      {"a,b", ",", 2, "b"},
        {"a,b", ",", 3, ""},       {"", ",", 1, ""},          {"", ",", 0, ""},
        {"a,", ",", 2, ""},        {",a", ",", 1, ""},        {",a", ",", 2, "a"},
        {"x<>y<>z", "<>", 2, "y"}, {"x<>y<>z", "<>", 3, "z"}, {"abc", ",", 1, "abc"},
        {"abc", ",", -1, ""},
    };
    for (const auto &[text, delimiter, n, field] : fields) {
        EXPECT_EQ(Strfunc::Field(text, delimiter, n), field) << text << " #" << n;
    }
}

} // namespace
