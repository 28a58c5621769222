#include "legacy97writer.h"

#include "client/core/compoundfile.h"

#include <QFile>

#include <cstring>

namespace zelp::test {

namespace {

void put(std::string &out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(char((value >> (8 * i)) & 0xff));
    }
}

} // namespace

std::string encode97Properties(const std::vector<Legacy97Property> &properties) {
    std::string out;
    for (const Legacy97Property &p : properties) {
        put(out, p.name.size(), 2);
        out += p.name;
        if (const auto *s = std::get_if<std::string>(&p.value)) {
            put(out, 8, 2);
            put(out, s->size(), 4);
            out += *s;
        } else if (const auto *i = std::get_if<int16_t>(&p.value)) {
            put(out, 2, 2);
            put(out, uint16_t(*i), 2);
        } else if (const auto *l = std::get_if<int32_t>(&p.value)) {
            put(out, 3, 2);
            put(out, uint32_t(*l), 4);
        } else if (const auto *d = std::get_if<double>(&p.value)) {
            uint64_t raw = 0;
            std::memcpy(&raw, d, 8);
            put(out, 5, 2);
            put(out, raw, 8);
        } else {
            put(out, 11, 2);
            put(out, std::get<bool>(p.value) ? 0xffff : 0, 2);
        }
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
