#include "client/core/propertybag.h"

#include <gtest/gtest.h>

using namespace zelp;

namespace {

TEST(PropertyBag, AValueEqualToItsWriteDefaultIsNotStored) {
    const struct {
        const char *what;
        PropertyValue value;
        std::optional<PropertyValue> writeDefault;
        bool stored;
    } cases[] = {
        {"text equal", std::string("No Printer"), std::string("No Printer"), false},
        {"text differs by case", std::string("no printer"), std::string("No Printer"), true},
        {"i2 equal", int16_t(80), int16_t(80), false},
        {"i2 differs", int16_t(81), int16_t(80), true},
        {"i2 against an equal i4 default", int16_t(4), int32_t(4), false},
        {"bool against 0", false, int16_t(0), false},
        {"true against -1", true, int16_t(-1), false},
        {"double equal", 255.0, 255.0, false},
        {"text never equals a number", std::string("0"), int16_t(0), true},
        {"no default is always stored", std::string(), std::nullopt, true},
        {"empty text against empty default", std::string(), std::string(), false},
    };
    for (const auto &c : cases) {
        PropertyBag bag;
        bag.WriteProperty("n", c.value, c.writeDefault);
        EXPECT_EQ(bag.contains("n"), c.stored) << c.what;
        // Read with the write default, the value comes back as it was written.
        if (c.writeDefault) {
            EXPECT_TRUE(sameValue(bag.ReadProperty("n", *c.writeDefault), c.value)) << c.what;
        }
    }
}

TEST(PropertyBag, ReadsTheDefaultForAMissingNameAndKeepsTypes) {
    PropertyBag bag;
    bag.WriteProperty("i4", int32_t(7));
    bag.WriteProperty("b", true, false);
    EXPECT_EQ(bag.ReadProperty("missing", std::string("dflt")), PropertyValue(std::string("dflt")));
    EXPECT_EQ(bag.ReadProperty("i4", int16_t(0)), PropertyValue(int32_t(7)));
    EXPECT_EQ(bag.ReadProperty("b", false), PropertyValue(true));
}

TEST(PropertyBag, RewritingReplacesAndWritingTheDefaultRemoves) {
    PropertyBag bag;
    bag.WriteProperty("a", int16_t(1), int16_t(0));
    bag.WriteProperty("b", int16_t(2), int16_t(0));
    bag.WriteProperty("a", int16_t(3), int16_t(0));
    ASSERT_EQ(bag.records().size(), 2u);
    EXPECT_EQ(bag.records()[0].name, "a");
    EXPECT_EQ(bag.records()[0].value, PropertyValue(int16_t(3)));
    bag.WriteProperty("a", int16_t(0), int16_t(0));
    EXPECT_FALSE(bag.contains("a"));
    EXPECT_EQ(bag.ReadProperty("a", int16_t(0)), PropertyValue(int16_t(0)));
}

TEST(PropertyValue, ConversionsAndParsingRefuseWhatDoesNotFit) {
    const struct {
        ValueType type;
        const char *text;
        std::optional<PropertyValue> expected;
    } cases[] = {
        {ValueType::Int16, "32767", int16_t(32767)},
        {ValueType::Int16, "-32768", int16_t(-32768)},
        {ValueType::Int16, "70000", std::nullopt},
        {ValueType::Int16, "32768", std::nullopt},
        {ValueType::Int16, " 12 ", int16_t(12)},
        {ValueType::Int16, "12abc", std::nullopt},
        {ValueType::Int16, "", std::nullopt},
        {ValueType::Int32, "70000", int32_t(70000)},
        {ValueType::Int32, "2147483648", std::nullopt},
        {ValueType::Double, "8421504", 8421504.0},
        {ValueType::Double, "1e400", std::nullopt},
        {ValueType::Double, "nan", std::nullopt},
        {ValueType::Bool, "True", true},
        {ValueType::Bool, "no", false},
        {ValueType::Bool, "-1", true},
        {ValueType::Bool, "maybe", std::nullopt},
        {ValueType::Text, " keep spaces ", std::string(" keep spaces ")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseValue(c.type, c.text), c.expected) << c.text;
    }
    EXPECT_EQ(convertTo(ValueType::Int16, int32_t(70000)), std::nullopt);
    EXPECT_EQ(convertTo(ValueType::Int16, true), PropertyValue(int16_t(-1)));
    EXPECT_EQ(convertTo(ValueType::Int32, 2.5), PropertyValue(int32_t(2))); // half to even
    EXPECT_EQ(convertTo(ValueType::Bool, int16_t(5)), PropertyValue(true));
    EXPECT_EQ(convertTo(ValueType::Text, int32_t(-3)), PropertyValue(std::string("-3")));
    for (const PropertyValue &v :
         {PropertyValue(int16_t(-5)), PropertyValue(int32_t(1 << 20)), PropertyValue(0.1),
          PropertyValue(true), PropertyValue(std::string("x"))}) {
        EXPECT_EQ(parseValue(typeOf(v), formatValue(v)), v) << formatValue(v);
    }
}

} // namespace
