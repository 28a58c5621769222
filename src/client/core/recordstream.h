#pragma once

#include "propertyvalue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelp {

// One typed name/value pair of a property record stream.
struct PropertyRecord {
    std::string name; // Windows-1252 bytes, 1 to 255
    PropertyValue value;
};

// The binary form both generations keep their properties in. Decoding is all or nothing: a
// record that runs past the end, a zero or oversize name length or an unknown type code
// makes the whole stream invalid.
namespace RecordStream {

inline constexpr size_t kMaxNameLength = 255;

// The records in stream order (a name that occurs twice occurs twice here); nullopt with
// *error set when the stream is invalid.
std::optional<std::vector<PropertyRecord>> decode(std::string_view bytes,
                                                  std::string *error = nullptr);

// Names must be 1 to 255 bytes and texts shorter than 4 GiB; anything else is refused with
// *error set and nothing returned, so that a writer never produces a stream it cannot read.
std::optional<std::string> encode(const std::vector<PropertyRecord> &records,
                                  std::string *error = nullptr);

} // namespace RecordStream

} // namespace zelp
