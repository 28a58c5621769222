#include "legacy97writer.h"

#include "client/core/compoundfile.h"

#include <QFile>

#include <cstring>

namespace zelp::test {

namespace {

// The type and payload of each kind of value.
struct Payload {
    std::string operator()(const std::string &s) const { return u16(8) + u32(s.size()) + s; }
    std::string operator()(int16_t v) const { return u16(2) + u16(uint16_t(v)); }
    std::string operator()(int32_t v) const { return u16(3) + u32(uint32_t(v)); }
    std::string operator()(bool v) const { return u16(11) + u16(v ? 0xffff : 0); }
    std::string operator()(double v) const {
        uint64_t raw = 0;
        std::memcpy(&raw, &v, 8);
        return u16(5) + u32(uint32_t(raw)) + u32(uint32_t(raw >> 32));
    }
};

} // namespace

std::string encode97Properties(const std::vector<Legacy97Property> &properties) {
    std::string out;
    for (const Legacy97Property &p : properties) {
        out += u16(uint16_t(p.name.size())) + p.name + std::visit(Payload(), p.value);
    }
    return out;
}

bool write97File(const QString &path, const char *classId,
                 const std::vector<Legacy97Property> &properties) {
    CompoundContent content;
    content.classId = *classIdFromText(QString::fromLatin1(classId));
    content.streams = {{"Properties", encode97Properties(properties)}};
    const auto bytes = CompoundFile::build(content);
    QFile file(path);
    return bytes && file.open(QIODevice::WriteOnly) &&
           file.write(bytes->data(), qint64(bytes->size())) == qint64(bytes->size());
}

} // namespace zelp::test
