#include "legacy97writer.h"

#include "client/core/propertybag.h"
#include "client/core/recordstream.h"
#include "client/core/settingsschema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace zelp;
using test::record, test::u16, test::u32;

namespace {

TEST(RecordStream, HandMadeBytesDecodeAndEncodeByteForByte) {
    const std::string n255(255, 'n'), txt("\xe9\x80\0z", 4);
    const std::vector<PropertyRecord> records = {
        {"a", int16_t(-2)}, {"bb", int32_t(-70000)}, {"c", -0.125}, {"yes", true}, {"no", false},
        {"txt", txt},       {n255, std::string()}};
    const std::string bytes = test::encode97Properties(records);
    EXPECT_EQ(RecordStream::encode(records), bytes);
    const auto back = RecordStream::decode(bytes + record("odd", 11, u16(7)));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), records.size() + 1);
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ((*back)[i].name, records[i].name);
        EXPECT_EQ((*back)[i].value, records[i].value) << records[i].name;
    }
    EXPECT_EQ(back->back().value, PropertyValue(true)); // any non-zero is true
    EXPECT_EQ(RecordStream::decode("")->size(), 0u);
}

TEST(RecordStream, InvalidStreamsAndUnreadableNamesGiveNothing) {
    const std::string good = record("ok", 2, u16(1));
    const std::string cases[] = {
        std::string(1, '\x01'),                             // one byte
        good + u16(0) + u16(2) + u16(1),                    // zero name length
        u16(256) + std::string(256, 'n') + u16(2) + u16(1), // name length 256
        u16(10) + "abc",                                    // name past the end
        u16(1) + "a",                                       // type missing
        good + record("x", 7, u32(0)),                      // unknown type
        record("x", 0, ""),                                 // VT_EMPTY
        record("x", 2, "\x01"),                             // short i2
        record("x", 3, u16(1)),                             // short i4
        record("x", 5, u32(0)),                             // short r8
        record("x", 11, ""),                                // short bool
        record("x", 8, u32(5) + "abcd"),                    // text past the end
        record("x", 8, u32(0xffffffff) + "abcd"),           // huge text length
        record("x", 8, u16(0)),                             // text length cut
        good + "\x01",                                      // trailing byte
    };
    for (const auto &bytes : cases) {
        std::string error;
        EXPECT_FALSE(RecordStream::decode(bytes, &error)) << testing::PrintToString(bytes);
        EXPECT_FALSE(error.empty());
    }
    for (const std::string &name : {std::string(), std::string(256, 'x')}) {
        std::string error;
        EXPECT_FALSE(RecordStream::encode({{name, int16_t(1)}}, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(PropertyBag, AValueEqualToItsWriteDefaultIsNotStored) {
    using S = std::string;
    const std::tuple<PropertyValue, std::optional<PropertyValue>, bool> cases[] = {
        {S("No Printer"), S("No Printer"), false},
        {S("no printer"), S("No Printer"), true},
        {int16_t(81), int16_t(80), true},
        {int16_t(4), int32_t(4), false},
        {false, int16_t(0), false},
        {true, int16_t(-1), false},
        {255.0, 255.0, false},
        {S("0"), int16_t(0), true}, // a text never equals a number
        {S(), std::nullopt, true},
    };
    for (const auto &[value, writeDefault, stored] : cases) {
        PropertyBag bag;
        bag.WriteProperty("n", value, writeDefault);
        EXPECT_EQ(bag.contains("n"), stored) << formatValue(value);
        if (writeDefault) {
            EXPECT_TRUE(sameValue(bag.ReadProperty("n", *writeDefault), value));
        }
    }
    // Rewriting replaces in place, writing the default removes, reads keep the stored type.
    PropertyBag bag;
    bag.WriteProperty("a", int16_t(1), int16_t(0));
    bag.WriteProperty("i4", int32_t(7));
    bag.WriteProperty("a", int16_t(3), int16_t(0));
    ASSERT_EQ(bag.records().size(), 2u);
    EXPECT_EQ(bag.records()[0].value, PropertyValue(int16_t(3)));
    EXPECT_EQ(bag.ReadProperty("i4", int16_t(0)), PropertyValue(int32_t(7)));
    bag.WriteProperty("a", int16_t(0), int16_t(0));
    EXPECT_FALSE(bag.contains("a"));
    EXPECT_EQ(bag.ReadProperty("a", S("d")), PropertyValue(S("d")));
}

TEST(PropertyValue, ConversionsAndParsingRefuseWhatDoesNotFit) {
    using V = std::optional<PropertyValue>;
    using enum ValueType;
    const std::tuple<ValueType, const char *, V> cases[] = {
        {Int16, "-32768", int16_t(-32768)},
        {Int16, "32768", std::nullopt},
        {Int16, " 12 ", int16_t(12)},
        {Int16, "12abc", std::nullopt},
        {Int16, "", std::nullopt},
        {Int32, "2147483648", std::nullopt},
        {Double, "1e400", std::nullopt},
        {Double, "nan", std::nullopt},
        {Bool, "True", true},
        {Bool, "no", false},
        {Bool, "-1", true},
        {Bool, "maybe", std::nullopt},
        {Text, " keep ", std::string(" keep ")}};
    for (const auto &[type, text, expected] : cases) {
        EXPECT_EQ(parseValue(type, text), expected) << text;
    }
    const std::tuple<ValueType, PropertyValue, V> conversions[] = {
        {Int16, int32_t(70000), std::nullopt},
        {Int16, true, int16_t(-1)},
        {Int32, 2.5, int32_t(2)}, // half to even
        {Bool, int16_t(5), true},
        {Text, int32_t(-3), std::string("-3")},
    };
    for (const auto &[type, from, expected] : conversions) {
        EXPECT_EQ(convertTo(type, from), expected) << formatValue(from);
    }
    for (const PropertyValue &v : {PropertyValue(int16_t(-5)), PropertyValue(int32_t(1 << 20)),
                                   PropertyValue(0.1), PropertyValue(true)}) {
        EXPECT_EQ(parseValue(typeOf(v), formatValue(v)), v) << formatValue(v);
    }
}

TEST(SettingsSchema, TableIsConsistent) {
    std::set<std::string> names;
    const auto &groups = SettingsSchema::groups();
    EXPECT_EQ(std::set<std::string>(groups.begin(), groups.end()).size(), groups.size());
    for (const SettingDef &d : SettingsSchema::all()) {
        EXPECT_NE(std::find(groups.begin(), groups.end(), d.group), groups.end()) << d.name;
        EXPECT_TRUE(names.insert(d.name).second && d.name.size() <= 255) << d.name;
        EXPECT_EQ(typeOf(d.defaultValue), d.type) << d.name;
        EXPECT_FALSE(d.group.empty() || d.label.empty()) << d.name;
    }
    EXPECT_EQ(SettingsSchema::find("sFKeyShiftF3")->group, "Keyboard");
    for (const char *unknown : {"Script", "shostname", "sFKey"}) {
        EXPECT_FALSE(SettingsSchema::find(unknown)) << unknown;
    }
}

} // namespace
