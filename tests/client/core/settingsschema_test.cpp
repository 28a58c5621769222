#include "client/core/settingsschema.h"

#include <gtest/gtest.h>

#include <set>

using namespace zelp;

namespace {

TEST(SettingsSchema, NamesTypesAndDefaultsOfTheMap) {
    // Rows where a slip is easy: other names, odd letter case, non-zero defaults.
    const struct {
        const char *name;
        ValueType type;
        PropertyValue defaultValue;
        const char *legacyName;
    } cases[] = {
        {"sSessionTitle", ValueType::Text, std::string(), "SessionTitle"},
        {"sHandshake", ValueType::Int32, int32_t(0), "HandShake"},
        {"sBaud", ValueType::Int32, int32_t(4), "Baud"},
        {"sDataBits", ValueType::Int16, int16_t(8), "DataBits"},
        {"sPrinterName", ValueType::Text, std::string("No Printer"), "Printer"},
        {"sPrinterFontSize", ValueType::Int16, int16_t(10), "PrinterFontSize"},
        {"sPrinterTimeout", ValueType::Int16, int16_t(5), "PrinterTimeout"},
        {"sHostPort", ValueType::Text, std::string(), "HostPort"},
        {"sScaleFont", ValueType::Bool, true, "ScaleFont"},
        {"sNormCols", ValueType::Int16, int16_t(80), "NormCols"},
        {"sExtCols", ValueType::Int16, int16_t(132), "ExtCols"},
        {"sCursorType", ValueType::Bool, false, "BlockCursor"},
        {"sScrMode", ValueType::Int16, int16_t(0), "ExtMode"},
        {"sAttributeMask", ValueType::Int16, int16_t(10), "AttributeMask"},
        {"sScrollMode", ValueType::Int16, int16_t(2), "ScrollMode"},
        {"sMapUpperFkeys", ValueType::Bool, true, "MapUpperFKeys"},
        {"sDefaultCaptureDir", ValueType::Text, std::string(), "CaptureDir"},
        {"sDefaultXferOverwrite", ValueType::Int16, int16_t(0), "DefaultXferOver"},
        {"sAsciiDelay", ValueType::Int16, int16_t(350), "AsciiDelay"},
        {"sXModemTimeout", ValueType::Int16, int16_t(10), "XmodemTimeout"},
        {"sKermitInitRetry", ValueType::Int16, int16_t(30), "KermitInitRetry"},
        {"sKermitEOL", ValueType::Int16, int16_t(13), "KermitEOL"},
        {"sKermitQuote", ValueType::Bool, true, "KermitQuote"},
        {"sZModemAuto", ValueType::Bool, false, "AutoZmodem"},
        {"Pinned", ValueType::Int16, int16_t(0), ""},
        {"FKeys", ValueType::Text, std::string(), ""},
        {"sPalette15", ValueType::Double, double(0xFFFFFF), ""},
        {"sAttrColor63", ValueType::Double, 15.0, ""},
        {"sFKeyF12", ValueType::Text, std::string(), ""},
    };
    for (const auto &c : cases) {
        const auto def = SettingsSchema::find(c.name);
        ASSERT_TRUE(def) << c.name;
        EXPECT_EQ(def->type, c.type) << c.name;
        EXPECT_EQ(def->defaultValue, c.defaultValue) << c.name;
        EXPECT_EQ(def->legacyName, c.legacyName) << c.name;
    }
}

TEST(SettingsSchema, TableIsConsistent) {
    std::set<std::string> names;
    int palette = 0, attrs = 0;
    for (const SettingDef &d : SettingsSchema::all()) {
        EXPECT_TRUE(names.insert(d.name).second) << "twice: " << d.name;
        EXPECT_LE(d.name.size(), 255u);
        EXPECT_EQ(typeOf(d.defaultValue), d.type) << d.name;
        EXPECT_FALSE(d.group.empty()) << d.name;
        EXPECT_FALSE(d.label.empty()) << d.name;
        palette += d.name.starts_with("sPalette");
        attrs += d.name.starts_with("sAttrColor");
    }
    EXPECT_EQ(palette, 16);
    EXPECT_EQ(attrs, 64);
    // 79 plain settings, 16 + 64 colours, 12 keys, the key list and the pinned value.
    EXPECT_EQ(SettingsSchema::all().size(), 79u + 80u + 12u + 2u);
    EXPECT_FALSE(SettingsSchema::find("Script"));
    EXPECT_FALSE(SettingsSchema::find("shostname")); // names are matched exactly
    EXPECT_FALSE(SettingsSchema::find("sFKey"));
    const auto shifted = SettingsSchema::find("sFKeyShiftF3");
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->type, ValueType::Text);
    EXPECT_EQ(shifted->group, "Keyboard");
    EXPECT_FALSE(SettingsSchema::groups().empty());
}

} // namespace
