#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace zelp {

// The types a property keeps, in VARIANT terms.
enum class ValueType { Text, Int16, Int32, Double, Bool };

// A typed property value; text is Windows-1252 bytes.
using PropertyValue = std::variant<std::string, int16_t, int32_t, double, bool>;

ValueType typeOf(const PropertyValue &value);
const char *typeName(ValueType type);

// Equality as the property bag sees it: numbers (booleans as 0 and -1) compare by value,
// texts by their bytes, a text never equals a number.
bool sameValue(const PropertyValue &a, const PropertyValue &b);

// The value in another type; nullopt when it does not fit (70000 as a 16-bit integer, a
// text that is no number).
std::optional<PropertyValue> convertTo(ValueType type, const PropertyValue &value);

// The value as a user reads and types it: numbers in decimal, booleans "True"/"False".
std::string formatValue(const PropertyValue &value);
// Parses what formatValue writes (booleans also as true/false/1/0/-1/yes/no, any case);
// nullopt when the text does not fit the type.
std::optional<PropertyValue> parseValue(ValueType type, std::string_view text);

} // namespace zelp
