#include "convert/conv97.h"
#include "convert/legacymap.h"

#include "client/core/clientdocument.h"
#include "client/core/legacy97writer.h"
#include "client/core/settingsschema.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace zelp::test {
namespace {

using Shape = LegacyMapRow::Shape;

class LegacyMapTest : public ::testing::Test {
protected:
    ServiceScope services;

    // Converts a 97 file with these properties; nullptr when that failed.
    std::unique_ptr<ClientDocument> convert(const std::vector<Legacy97Property> &properties,
                                            ConversionReport *report = nullptr,
                                            const char *classId = kUnsafe97ClassId) {
        const QString old97 = services.dir.filePath("old.ats");
        const QString target = services.dir.filePath("new.ats");
        QFile::remove(target);
        EXPECT_TRUE(write97File(old97, classId, properties));
        Conv97 converter;
        const bool done = converter.Convert(old97, target);
        if (report) {
            *report = converter.report();
        }
        const auto &asked = services.messages.asked;
        EXPECT_TRUE(done) << (asked.empty() ? "" : asked.back().text.toStdString());
        return done ? ClientDocument::load(target) : nullptr;
    }
    static PropertyValue setting(const ClientDocument &doc, const std::string &name) {
        return doc.Settings()->value(name).value_or(std::string("<unknown>"));
    }
};

// The script as the 97 client keeps it.
std::string xored(std::string script) {
    for (size_t i = 0; i < script.size(); ++i) {
        script[i] = char(static_cast<unsigned char>(script[i]) ^ ((i + 1) & 15));
    }
    return script;
}

// A value of the type the 97 client kept, different from every default.
PropertyValue changed(const LegacyMapRow &row) {
    const PropertyValue base = row.readDefault.value_or(int32_t(0));
    switch (typeOf(base)) {
    case ValueType::Text:
        return std::string("x-") + row.legacyName;
    case ValueType::Int16:
        return int16_t(std::get<int16_t>(base) + 3);
    case ValueType::Int32:
        return int32_t(std::get<int32_t>(base) + 3);
    case ValueType::Bool:
        return !std::get<bool>(base);
    case ValueType::Double:
        break;
    }
    return 1.5;
}

TEST_F(LegacyMapTest, EveryPlainRowArrivesUnderIts2000NameWithItsTypeAndDefaultsWhenMissing) {
    std::vector<Legacy97Property> properties;
    for (const LegacyMapRow &row : LegacyMap::rows()) {
        if (row.shape == Shape::Plain) {
            properties.push_back({row.legacyName, changed(row)});
        }
    }
    ConversionReport full, none;
    const auto doc = convert(properties, &full);
    const auto empty = convert({}, &none);
    ASSERT_TRUE(doc && empty);
    const auto status = [](const ConversionReport &report, const std::string &name) {
        const auto s = std::find_if(report.settings.begin(), report.settings.end(),
                                    [&](const SettingOutcome &s) { return s.name == name; });
        return s == report.settings.end() ? std::nullopt : std::optional(s->status);
    };
    for (const LegacyMapRow &row : LegacyMap::rows()) {
        if (row.shape != Shape::Plain) {
            continue;
        }
        SCOPED_TRACE(row.name);
        const PropertyValue got = setting(*doc, row.name);
        const SettingDef def = *SettingsSchema::find(row.name);
        EXPECT_EQ(typeOf(got), def.type);
        EXPECT_TRUE(sameValue(got, changed(row))) << formatValue(got);
        EXPECT_TRUE(sameValue(setting(*empty, row.name), def.defaultValue));
        EXPECT_EQ(status(full, row.name), SettingOutcome::Status::Carried);
        EXPECT_EQ(status(none, row.name), SettingOutcome::Status::Defaulted);
    }
    // The 97 boolean under the 2000 mode number.
    EXPECT_EQ(setting(*doc, "sScrMode"), PropertyValue(int16_t(-1)));
}

TEST_F(LegacyMapTest, PaletteAndAttributeColoursTakeTheirListsByTheValRule) {
    std::string longList;
    std::vector<double> tens;
    for (int i = 1; i <= 70; ++i) {
        longList += (i > 1 ? "," : "") + std::to_string(i * 10);
        tens.push_back(i * 10);
    }
    const struct {
        bool attributes; // AttrColors into sAttrColor0-63, else Palette into sPalette0-15
        std::optional<std::string> list;
        std::vector<double> head; // then zeros; empty: every colour keeps its default
    } cases[] = {
        {false, std::nullopt, {}},
        {false, "", {}},
        {false, "0,255", {0, 255}},
        {false, longList, tens},
        {false, " 1 2abc,red,&,-2.5e1x", {12, 0, 0, -25}},
        {true, "7,8", {7, 8}},
        {true, longList, tens},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list.value_or("none"));
        const auto doc =
            c.list ? convert({{c.attributes ? "AttrColors" : "Palette", *c.list}}) : convert({});
        ASSERT_TRUE(doc);
        for (int i = 0; i < (c.attributes ? 64 : 16); ++i) {
            const std::string name = (c.attributes ? "sAttrColor" : "sPalette") + std::to_string(i);
            EXPECT_EQ(setting(*doc, name),
                      c.head.empty() ? SettingsSchema::find(name)->defaultValue
                                     : PropertyValue(i < int(c.head.size()) ? c.head[i] : 0.0))
                << name;
        }
    }
}

TEST_F(LegacyMapTest, FunctionKeysTakeTheirNamesAndArrowNotation) {
    using Keys = std::vector<std::pair<std::string, std::string>>; // stored ones only
    const struct {
        std::vector<Legacy97Property> properties;
        std::string list; // FKeys; empty: not written
        Keys keys;
    } cases[] = {
        {{{"KeyCount", int16_t(2)},
          {"Key1", std::string("F1\0\r", 4)},
          {"Key2", std::string("PF2\0\x1b[A\xc1 ", 9)}},
         "F1,PF2",
         {{"F1", "^M"}, {"PF2", "^[[A\\A ^"}}},
        {{{"KeyCount", int16_t(1)}, {"Key1", std::string("F5")}}, "F5", {}}, // no NUL
        {{{"Key1", std::string("F1\0x", 4)}}, "", {}},
        {{{"KeyCount", std::string("")}, {"Key1", std::string("F1\0x", 4)}}, "", {}},
        {{{"KeyCount", int32_t(2)}, {"Key2", std::string("F2\0y", 4)}}, "F2", {{"F2", "y"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        const auto doc = convert(c.properties);
        ASSERT_TRUE(doc);
        Keys keys;
        std::string list;
        for (const PropertyRecord &r : doc->Settings()->toRecords()) {
            if (r.name == "FKeys") {
                list = std::get<std::string>(r.value);
            } else if (r.name.starts_with("sFKey")) {
                keys.emplace_back(r.name.substr(5), std::get<std::string>(r.value));
            }
        }
        EXPECT_EQ(list, c.list);
        EXPECT_EQ(keys, c.keys);
    }
}

TEST_F(LegacyMapTest, TheScriptIsCutAtItsFirstNulAndGetsTheDisconnectedRoutineOnce) {
    const std::string routine = disconnectedRoutine();
    ASSERT_TRUE(routine.starts_with("\r\n"));
    ASSERT_NE(routine.find("\r\nSub Disconnected()\r\n"), std::string::npos);
    ASSERT_TRUE(routine.ends_with("\r\nEnd Sub\r\n"));
    const struct {
        std::optional<std::string> script; // as the user wrote it
        std::string expected;
    } cases[] = {
        {std::nullopt, ""},
        {"", ""},
        {"Sub Main()\r\nEnd Sub", "Sub Main()\r\nEnd Sub" + routine},
        {"x\r\nsUB dISCONNECTED()\r\nEnd Sub", "x\r\nsUB dISCONNECTED()\r\nEnd Sub"},
        {"' sub disconnected() is not needed", "' sub disconnected() is not needed"},
        {std::string("abc\0\0\0\0", 7), "abc" + routine},
        {std::string("abc\0Sub Disconnected()", 22), "abc" + routine},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.script.value_or("none"));
        std::vector<Legacy97Property> properties = {{"MousePatterns", std::string("*.pdf")}};
        if (c.script) {
            properties.push_back({"Script", xored(*c.script)});
        }
        ConversionReport report;
        const auto doc = convert(properties, &report, kSafe97ClassId);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->Script(), c.expected);
        EXPECT_EQ(report.settings[0].status,
                  c.script ? SettingOutcome::Status::Carried : SettingOutcome::Status::Defaulted);
        EXPECT_EQ(doc->MousePatterns(), "*.pdf");
    }
}

} // namespace
} // namespace zelp::test
