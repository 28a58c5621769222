#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelp::test {

// What a compound file's own header and directory say, read without any compound-file
// library, so that files our code writes are checked by a reader that is not ours.
struct CfbProbe {
    std::array<uint8_t, 16> rootClassId{};
    struct Entry {
        std::string name; // ASCII names only
        int type = 0;     // 1 storage, 2 stream, 5 root
        uint64_t size = 0;
    };
    std::vector<Entry> entries;
    const Entry *find(const std::string &name) const;
};

std::optional<CfbProbe> probeCompoundFile(const std::string &bytes, std::string *error);

} // namespace zelp::test
