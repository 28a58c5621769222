#pragma once

#include "propertyvalue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelp {

// One setting of the 2000 client: how it is stored, what it is when not stored, where the
// settings dialog shows it, and the name the 97 client kept it under (empty for none). A
// setting with a 97 name is converted from it as read, with its own default, unless the
// legacy map reads it otherwise.
struct SettingDef {
    std::string name;
    ValueType type;
    PropertyValue defaultValue;
    std::string group;
    std::string label;
    std::string legacyName;
    // Its place, from 1, in the list of names the converter asks a 97 document for.
    int legacyPosition = 0;
};

namespace SettingsSchema {

inline constexpr std::string_view kPinned = "Pinned";
inline constexpr std::string_view kFunctionKeyPrefix = "sFKey";
inline constexpr std::string_view kFunctionKeyList = "FKeys";

// Every setting in dialog order; "sFKey" + F1 to F12 stand for the function keys.
const std::vector<SettingDef> &all();

// The setting of that name, matched exactly; "sFKey" followed by any key name is a text
// setting of the keys group. nullopt for an unknown name.
std::optional<SettingDef> find(std::string_view name);

// What a setting's value must be beyond its type ("port"), when the value is not that;
// nullptr when the value may be stored. A host port is empty (the telnet port 23) or a
// number from 1 to 65535.
const char *refusal(std::string_view name, const PropertyValue &value);

// The groups in dialog order.
const std::vector<std::string> &groups();

} // namespace SettingsSchema

} // namespace zelp
