#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zelp::test {

// Writes connection files of the 97 generation for tests, with its own record encoder so
// that the reader is checked against bytes it did not produce.
struct Legacy97Property {
    std::string name;
    std::variant<std::string, int16_t, int32_t, double, bool> value;
};

inline constexpr const char *kUnsafe97ClassId = "{F24D6917-69D1-11D2-AB7F-0040055A85C2}";
inline constexpr const char *kSafe97ClassId = "{F24D6911-69D1-11D2-AB7F-0040055A85C2}";

// The "Properties" stream's bytes.
std::string encode97Properties(const std::vector<Legacy97Property> &properties);
// A complete 97 file; false when it could not be written.
bool write97File(const QString &path, const char *classId,
                 const std::vector<Legacy97Property> &properties);

} // namespace zelp::test
