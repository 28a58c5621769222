#pragma once

#include <QString>
#include <QUuid>

#include <optional>

namespace zelp {

// Root class identifiers of 2000-generation connection files.
inline constexpr QUuid kUnsafeClientClass(0xE4301D8E, 0xD460, 0x4073, 0xB7, 0xDA, 0x60, 0x0C, 0x33,
                                          0xF3, 0x8A, 0x01);
inline constexpr QUuid kSafeClientClass(0x7F1351CE, 0x90DD, 0x411B, 0x86, 0x8D, 0xE1, 0xBA, 0xA3,
                                        0xCE, 0xBD, 0xA8);

// The class identifier of a compound file's root storage; nullopt when the file cannot be
// read or is no compound file.
std::optional<QUuid> readRootClassId(const QString &path);

} // namespace zelp
