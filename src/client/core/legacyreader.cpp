#include "legacyreader.h"

#include "compoundfile.h"
#include "recordstream.h"

#include <set>

namespace zelp {

namespace {

constexpr std::string_view kKeyList = "Key(KeyCount)";
constexpr const char *kKeyCount = "KeyCount";

std::set<std::string> namesOf(const std::string &list) {
    std::set<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = list.find("\r\n", start);
        const std::string entry = list.substr(start, end == std::string::npos ? end : end - start);
        if (!entry.empty()) {
            names.insert(entry);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 2;
    }
    return names;
}

} // namespace

bool LegacyDocumentReader::LoadDocument(const QString &file, const QString &classId,
                                        const std::string &nameList) {
    values_.clear();
    lastError_.clear();
    const auto wanted = classIdFromText(classId);
    if (!wanted) {
        lastError_ = QStringLiteral("\"%1\" is no class identifier").arg(classId);
        return false;
    }
    QString why;
    const auto content = CompoundFile::read(file, &why);
    if (!content) {
        lastError_ = why;
        return false;
    }
    if (content->classId != *wanted) {
        lastError_ =
            QStringLiteral("its class identifier is %1").arg(classIdText(content->classId));
        return false;
    }
    const std::string *stream = content->stream("Properties");
    if (!stream) {
        lastError_ = QStringLiteral("it has no \"Properties\" stream");
        return false;
    }
    std::string streamError;
    const auto records = RecordStream::decode(*stream, &streamError);
    if (!records) {
        lastError_ = QStringLiteral("its \"Properties\" stream is damaged (%1)")
                         .arg(QString::fromStdString(streamError));
        return false;
    }
    std::map<std::string, PropertyValue> stored;
    for (const PropertyRecord &record : *records) {
        stored.insert_or_assign(record.name, record.value);
    }
    std::set<std::string> names = namesOf(nameList);
    if (names.erase(std::string(kKeyList))) {
        names.insert(kKeyCount);
        int32_t count = 0;
        if (auto it = stored.find(kKeyCount); it != stored.end()) {
            if (auto n = convertTo(ValueType::Int32, it->second)) {
                count = std::get<int32_t>(*n);
            }
        }
        for (int32_t i = 1; i <= count && i <= 0x7fff; ++i) {
            names.insert("Key" + std::to_string(i));
        }
    }
    for (const std::string &name : names) {
        if (auto it = stored.find(name); it != stored.end()) {
            values_.insert(*it);
        }
    }
    return true;
}

PropertyValue LegacyDocumentReader::ReadValue(const std::string &name,
                                              const PropertyValue &defaultValue) const {
    const auto it = values_.find(name);
    return it == values_.end() ? defaultValue : it->second;
}

} // namespace zelp
