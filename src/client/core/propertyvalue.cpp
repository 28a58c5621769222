#include "propertyvalue.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace zelp {

namespace {

std::optional<double> numberOf(const PropertyValue &value) {
    if (const auto *b = std::get_if<bool>(&value)) {
        return *b ? -1.0 : 0.0;
    }
    if (const auto *i = std::get_if<int16_t>(&value)) {
        return *i;
    }
    if (const auto *i = std::get_if<int32_t>(&value)) {
        return *i;
    }
    if (const auto *d = std::get_if<double>(&value)) {
        return *d;
    }
    return std::nullopt;
}

template <typename Int> std::optional<PropertyValue> integerFrom(double number) {
    // Integers round half to even, as the platform's conversions do.
    if (!std::isfinite(number)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max()) {
        return std::nullopt;
    }
    return PropertyValue(static_cast<Int>(rounded));
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

ValueType typeOf(const PropertyValue &value) {
    static constexpr ValueType byIndex[] = {ValueType::Text, ValueType::Int16, ValueType::Int32,
                                            ValueType::Double, ValueType::Bool};
    return byIndex[value.index()];
}

const char *typeName(ValueType type) {
    switch (type) {
    case ValueType::Text:
        return "text";
    case ValueType::Int16:
        return "16-bit integer";
    case ValueType::Int32:
        return "32-bit integer";
    case ValueType::Double:
        return "number";
    case ValueType::Bool:
        return "boolean";
    }
    return "?";
}

bool sameValue(const PropertyValue &a, const PropertyValue &b) {
    const auto *ta = std::get_if<std::string>(&a);
    const auto *tb = std::get_if<std::string>(&b);
    if (ta || tb) {
        return ta && tb && *ta == *tb;
    }
    return *numberOf(a) == *numberOf(b);
}

std::optional<PropertyValue> convertTo(ValueType type, const PropertyValue &value) {
    if (typeOf(value) == type) {
        return value;
    }
    if (const auto *text = std::get_if<std::string>(&value)) {
        return parseValue(type, *text);
    }
    const double number = *numberOf(value);
    switch (type) {
    case ValueType::Text:
        return PropertyValue(formatValue(value));
    case ValueType::Int16:
        return integerFrom<int16_t>(number);
    case ValueType::Int32:
        return integerFrom<int32_t>(number);
    case ValueType::Double:
        return PropertyValue(number);
    case ValueType::Bool:
        return PropertyValue(number != 0);
    }
    return std::nullopt;
}

std::string formatValue(const PropertyValue &value) {
    if (const auto *text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto *b = std::get_if<bool>(&value)) {
        return *b ? "True" : "False";
    }
    if (const auto *d = std::get_if<double>(&value)) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return std::string(buffer, result.ptr);
    }
    return std::to_string(static_cast<int32_t>(*numberOf(value)));
}

std::optional<PropertyValue> parseValue(ValueType type, std::string_view text) {
    if (type == ValueType::Text) {
        return PropertyValue(std::string(text));
    }
    const std::string_view t = trimmed(text);
    if (type == ValueType::Bool) {
        for (const char *yes : {"true", "yes", "-1", "1"}) {
            if (equalsNoCase(t, yes)) {
                return PropertyValue(true);
            }
        }
        for (const char *no : {"false", "no", "0"}) {
            if (equalsNoCase(t, no)) {
                return PropertyValue(false);
            }
        }
        return std::nullopt;
    }
    if (t.empty()) {
        return std::nullopt;
    }
    const char *end = t.data() + t.size();
    if (type == ValueType::Double) {
        double d = 0;
        const auto r = std::from_chars(t.data(), end, d);
        if (r.ec != std::errc() || r.ptr != end || !std::isfinite(d)) {
            return std::nullopt;
        }
        return PropertyValue(d);
    }
    int64_t n = 0;
    const char *begin = t.data();
    if (*begin == '+') {
        ++begin;
    }
    const auto r = std::from_chars(begin, end, n);
    if (r.ec != std::errc() || r.ptr != end) {
        return std::nullopt;
    }
    if (type == ValueType::Int16) {
        if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max()) {
            return std::nullopt;
        }
        return PropertyValue(static_cast<int16_t>(n));
    }
    if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return PropertyValue(static_cast<int32_t>(n));
}

} // namespace zelp
