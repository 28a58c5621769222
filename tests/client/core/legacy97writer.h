#pragma once

#include "client/core/recordstream.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace zelp::test {

// Writes connection files of the 97 generation for tests, with its own record encoder so
// that the readers are checked against bytes they did not produce.
using Legacy97Property = PropertyRecord;

inline constexpr const char *kUnsafe97ClassId = "{F24D6917-69D1-11D2-AB7F-0040055A85C2}";
inline constexpr const char *kSafe97ClassId = "{F24D6911-69D1-11D2-AB7F-0040055A85C2}";

// Little-endian bytes and one record (name length, name, type, payload) made by hand.
inline std::string u16(uint16_t v) {
    return {char(v & 0xff), char(v >> 8)};
}
inline std::string u32(uint32_t v) {
    return u16(uint16_t(v)) + u16(uint16_t(v >> 16));
}
inline std::string record(const std::string &name, uint16_t type, const std::string &payload) {
    return u16(uint16_t(name.size())) + name + u16(type) + payload;
}

// The "Properties" stream's bytes.
std::string encode97Properties(const std::vector<Legacy97Property> &properties);
// A complete 97 file; false when it could not be written.
bool write97File(const QString &path, const char *classId,
                 const std::vector<Legacy97Property> &properties);

} // namespace zelp::test
