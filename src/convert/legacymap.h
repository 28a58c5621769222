#pragma once

#include "conversionreport.h"

#include "client/core/legacyreader.h"
#include "client/core/propertybag.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelp {

// The map between the 97 and the 2000 property names: one row per 97 property, in the order
// the converter asks the reader for them.
struct LegacyMapRow {
    enum class Shape {
        Document,     // a member of the document, not a setting (script, mouse patterns)
        Plain,        // copied as read
        Palette,      // a comma-separated list into sPalette0 to sPalette15
        AttrColors,   // the same into sAttrColor0 to sAttrColor63
        FunctionKeys, // KeyCount and Key1 ... into "sFKey" + key name and FKeys
    };
    std::string legacyName;
    std::string name; // the 2000 name, or its prefix for the reshaped rows
    Shape shape = Shape::Plain;
    // nullopt: read without a default (the setting's own default stands in) or always stored.
    std::optional<PropertyValue> readDefault;
    std::optional<PropertyValue> writeDefault;
};

namespace LegacyMap {

// Made from the schema's 97 names, with the few rows that are no plain setting (the script,
// the mouse patterns, the colour lists and the keys) or read otherwise.
const std::vector<LegacyMapRow> &rows();

// The 97 names, CR LF separated, with "KeyCount" and "Key(KeyCount)" for the keys.
std::string PropertyNameList();

// Fills bag from a reader on which LoadDocument succeeded; outcomes, when given, receives
// what became of each setting. A row that fails leaves the rows after it untouched.
void CopyLegacyProperties(const LegacyDocumentReader &reader, PropertyBag &bag,
                          std::vector<SettingOutcome> *outcomes = nullptr);

// The longest leading number of text, blanks ignored; 0 when there is none. found tells
// whether there was one.
double Val(std::string_view text, bool *found = nullptr);

} // namespace LegacyMap

} // namespace zelp
