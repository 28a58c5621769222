#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelp {

// A class identifier in the byte order a compound file stores it (first three fields
// little-endian).
using ClassIdBytes = std::array<uint8_t, 16>;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
QString classIdText(const ClassIdBytes &bytes);
// Accepts the text with or without braces, in any case; nullopt when it is no identifier.
std::optional<ClassIdBytes> classIdFromText(const QString &text);

// The streams at the root of an OLE compound file, by name, with the root's class identifier.
struct CompoundContent {
    ClassIdBytes classId{};
    std::vector<std::pair<std::string, std::string>> streams; // name, bytes
    const std::string *stream(const std::string &name) const;
};

namespace CompoundFile {

// Root streams larger than this are refused rather than read into memory.
inline constexpr uint64_t kMaxStreamBytes = 64u << 20;

// The root class identifier; nullopt when the file is no readable compound file.
std::optional<ClassIdBytes> readRootClassId(const QString &path, QString *error = nullptr);

// The root class identifier and every stream at the root (storages are skipped).
std::optional<CompoundContent> read(const QString &path, QString *error = nullptr);

// The complete bytes of a compound file holding content; streams are written in the order
// given. Stream names must be 1 to 31 characters.
std::optional<std::string> build(const CompoundContent &content, QString *error = nullptr);

} // namespace CompoundFile

} // namespace zelp
