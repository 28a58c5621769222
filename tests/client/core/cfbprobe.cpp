#include "cfbprobe.h"

#include <set>

namespace zelp::test {

namespace {

uint32_t le32(const std::string &b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t le16(const std::string &b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

} // namespace

const CfbProbe::Entry *CfbProbe::find(const std::string &name) const {
    for (const Entry &e : entries) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}

std::optional<CfbProbe> probeCompoundFile(const std::string &b, std::string *error) {
    auto fail = [&](const char *why) {
        *error = why;
        return std::nullopt;
    };
    static const std::string signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    if (b.size() < 512 || b.compare(0, 8, signature) != 0) {
        return fail("no compound-file signature");
    }
    const size_t sectorSize = size_t(1) << le16(b, 0x1E);
    if (sectorSize != 512 && sectorSize != 4096) {
        return fail("bad sector size");
    }
    auto sectorOffset = [&](uint32_t sector) { return (size_t(sector) + 1) * sectorSize; };
    // The allocation table from the header's first 109 entries is enough for small files.
    std::vector<uint32_t> fat;
    for (int i = 0; i < 109; ++i) {
        const uint32_t fatSector = le32(b, 0x4C + 4 * i);
        if (fatSector >= 0xFFFFFFFA) {
            continue;
        }
        if (sectorOffset(fatSector) + sectorSize > b.size()) {
            return fail("allocation table beyond the end");
        }
        for (size_t j = 0; j < sectorSize / 4; ++j) {
            fat.push_back(le32(b, sectorOffset(fatSector) + 4 * j));
        }
    }
    CfbProbe probe;
    std::set<uint32_t> seen;
    for (uint32_t sector = le32(b, 0x30); sector < 0xFFFFFFFA; sector = fat[sector]) {
        if (!seen.insert(sector).second || sector >= fat.size() ||
            sectorOffset(sector) + sectorSize > b.size()) {
            return fail("broken directory chain");
        }
        for (size_t at = sectorOffset(sector); at < sectorOffset(sector) + sectorSize; at += 128) {
            const int type = uint8_t(b[at + 0x42]);
            if (type == 0) {
                continue;
            }
            CfbProbe::Entry entry;
            const size_t units = le16(b, at + 0x40) / 2;
            for (size_t u = 0; u + 1 < units; ++u) {
                entry.name.push_back(char(le16(b, at + 2 * u)));
            }
            entry.type = type;
            entry.size = le32(b, at + 0x78);
            if (type == 5) {
                for (int i = 0; i < 16; ++i) {
                    probe.rootClassId[i] = uint8_t(b[at + 0x50 + i]);
                }
            }
            probe.entries.push_back(entry);
        }
    }
    if (probe.entries.empty() || probe.entries.front().type != 5) {
        return fail("no root entry");
    }
    return probe;
}

} // namespace zelp::test
