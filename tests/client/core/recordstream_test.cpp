#include "client/core/recordstream.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace zelp;

namespace {

// Little-endian helpers written independently of the encoder under test.
std::string u16(uint16_t v) {
    return {char(v & 0xff), char(v >> 8)};
}
std::string u32(uint32_t v) {
    return {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char(v >> 24)};
}
std::string rec(const std::string &name, uint16_t type, const std::string &payload) {
    return u16(uint16_t(name.size())) + name + u16(type) + payload;
}

TEST(RecordStream, DecodesEveryTypeFromHandMadeBytes) {
    double d = 2.5;
    std::string r8(8, '\0');
    std::memcpy(r8.data(), &d, 8);
    const std::string bytes = rec("a", 2, u16(0xfffe)) + rec("bb", 3, u32(70000)) +
                              rec("c", 5, r8) + rec("t", 11, u16(0xffff)) + rec("f", 11, u16(0)) +
                              rec("odd", 11, u16(7)) + rec("s", 8, u32(3) + std::string("x\0y", 3));
    const auto records = RecordStream::decode(bytes);
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 7u);
    EXPECT_EQ(std::get<int16_t>((*records)[0].value), -2);
    EXPECT_EQ(std::get<int32_t>((*records)[1].value), 70000);
    EXPECT_EQ(std::get<double>((*records)[2].value), 2.5);
    EXPECT_TRUE(std::get<bool>((*records)[3].value));
    EXPECT_FALSE(std::get<bool>((*records)[4].value));
    EXPECT_TRUE(std::get<bool>((*records)[5].value)); // any non-zero is true
    EXPECT_EQ(std::get<std::string>((*records)[6].value), std::string("x\0y", 3));
    EXPECT_EQ((*records)[1].name, "bb");
}

TEST(RecordStream, EncodeGivesTheDocumentedBytesAndReadsBack) {
    const std::vector<PropertyRecord> records = {
        {"i2", int16_t(-1)},
        {"i4", int32_t(-70000)},
        {"r8", -0.125},
        {"yes", true},
        {"no", false},
        {"txt", std::string("\xe9\x80\0z", 4)},
        {std::string(255, 'n'), std::string()},
    };
    const auto bytes = RecordStream::encode(records);
    ASSERT_TRUE(bytes);
    // "yes" as VT_BOOL -1 and the bytes of "txt" as the format documents them.
    EXPECT_NE(bytes->find(rec("yes", 11, u16(0xffff))), std::string::npos);
    EXPECT_NE(bytes->find(rec("txt", 8, u32(4) + std::string("\xe9\x80\0z", 4))),
              std::string::npos);
    const auto back = RecordStream::decode(*bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ((*back)[i].name, records[i].name);
        EXPECT_EQ((*back)[i].value, records[i].value) << records[i].name;
    }
}

TEST(RecordStream, EmptyStreamHasNoRecords) {
    const auto records = RecordStream::decode("");
    ASSERT_TRUE(records);
    EXPECT_TRUE(records->empty());
}

TEST(RecordStream, InvalidStreamsGiveNothing) {
    const std::string good = rec("ok", 2, u16(1));
    const struct {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"one byte", std::string(1, '\x01')},
        {"zero name length", good + u16(0) + u16(2) + u16(1)},
        {"name length 256", u16(256) + std::string(256, 'n') + u16(2) + u16(1)},
        {"name runs past the end", u16(10) + "abc"},
        {"type missing", u16(1) + "a"},
        {"unknown type", good + rec("x", 7, u32(0))},
        {"VT_EMPTY", rec("x", 0, "")},
        {"short i2", rec("x", 2, "\x01")},
        {"short i4", rec("x", 3, u16(1))},
        {"short r8", rec("x", 5, u32(0))},
        {"short bool", rec("x", 11, "")},
        {"text length past the end", rec("x", 8, u32(5) + "abcd")},
        {"huge text length", rec("x", 8, u32(0xffffffff) + "abcd")},
        {"text length cut", rec("x", 8, u16(0))},
        {"trailing byte", good + "\x01"},
    };
    for (const auto &c : cases) {
        std::string error;
        EXPECT_FALSE(RecordStream::decode(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(RecordStream, RefusesNamesItCouldNotReadBack) {
    for (const std::string &name : {std::string(), std::string(256, 'x')}) {
        std::string error;
        EXPECT_FALSE(RecordStream::encode({{name, int16_t(1)}}, &error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
