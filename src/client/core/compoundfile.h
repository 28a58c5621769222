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

struct CompoundStorage;

// A storage of an OLE compound file (the root, say): its class identifier, its streams by name
// and the storages inside it.
struct CompoundContent {
    CompoundContent();
    CompoundContent(const ClassIdBytes &id, std::vector<std::pair<std::string, std::string>> s,
                    std::vector<CompoundStorage> inner = {});

    ClassIdBytes classId{};
    std::vector<std::pair<std::string, std::string>> streams; // name, bytes
    std::vector<CompoundStorage> storages;
    const std::string *stream(const std::string &name) const;
};

struct CompoundStorage {
    std::string name;
    CompoundContent content;
};

namespace CompoundFile {

// Streams larger than this, and files whose streams add up to more, are refused rather than
// read into memory; so are storages nested deeper than kMaxDepth.
inline constexpr uint64_t kMaxStreamBytes = 64u << 20;
inline constexpr int kMaxDepth = 16;

// The root class identifier; nullopt when the file is no readable compound file.
std::optional<ClassIdBytes> readRootClassId(const QString &path, QString *error = nullptr);

// The root class identifier, every stream and every storage, all the way down.
std::optional<CompoundContent> read(const QString &path, QString *error = nullptr);

// The complete bytes of a compound file holding content; streams are written in the order
// given, then the storages. Names must be 1 to 31 characters.
std::optional<std::string> build(const CompoundContent &content, QString *error = nullptr);

} // namespace CompoundFile

} // namespace zelp
