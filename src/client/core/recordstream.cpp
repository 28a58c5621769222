#include "recordstream.h"

#include <bit>
#include <cstring>
#include <limits>

namespace zelp::RecordStream {

namespace {

enum VariantCode : uint16_t { VtI2 = 2, VtI4 = 3, VtR8 = 5, VtBstr = 8, VtBool = 11 };

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool atEnd() const { return pos_ == bytes_.size(); }
    size_t offset() const { return pos_; }

    template <typename T> bool read(T &out) {
        if (bytes_.size() - pos_ < sizeof(T)) {
            return false;
        }
        std::make_unsigned_t<T> raw = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            raw |= std::make_unsigned_t<T>(uint8_t(bytes_[pos_ + i])) << (8 * i);
        }
        pos_ += sizeof(T);
        out = static_cast<T>(raw);
        return true;
    }

    bool readBytes(size_t count, std::string &out) {
        if (bytes_.size() - pos_ < count) {
            return false;
        }
        out.assign(bytes_.substr(pos_, count));
        pos_ += count;
        return true;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

template <typename T> void put(std::string &out, T value) {
    auto raw = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.push_back(static_cast<char>((raw >> (8 * i)) & 0xff));
    }
}

std::optional<std::vector<PropertyRecord>> invalid(std::string *error, std::string why,
                                                   size_t offset) {
    if (error) {
        *error = why + " at byte " + std::to_string(offset);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<PropertyRecord>> decode(std::string_view bytes, std::string *error) {
    std::vector<PropertyRecord> records;
    Reader in(bytes);
    while (!in.atEnd()) {
        const size_t start = in.offset();
        uint16_t nameLength = 0;
        PropertyRecord record;
        uint16_t type = 0;
        if (!in.read(nameLength)) {
            return invalid(error, "truncated record", start);
        }
        if (nameLength == 0 || nameLength > kMaxNameLength) {
            return invalid(error, "bad name length " + std::to_string(nameLength), start);
        }
        if (!in.readBytes(nameLength, record.name) || !in.read(type)) {
            return invalid(error, "truncated record", start);
        }
        bool complete = false;
        switch (type) {
        case VtI2: {
            int16_t v = 0;
            complete = in.read(v);
            record.value = v;
            break;
        }
        case VtI4: {
            int32_t v = 0;
            complete = in.read(v);
            record.value = v;
            break;
        }
        case VtR8: {
            uint64_t v = 0;
            complete = in.read(v);
            record.value = std::bit_cast<double>(v);
            break;
        }
        case VtBool: {
            int16_t v = 0;
            complete = in.read(v);
            record.value = v != 0;
            break;
        }
        case VtBstr: {
            uint32_t length = 0;
            std::string text;
            complete = in.read(length) && in.readBytes(length, text);
            record.value = std::move(text);
            break;
        }
        default:
            return invalid(error, "unknown type code " + std::to_string(type), start);
        }
        if (!complete) {
            return invalid(error, "truncated record", start);
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<std::string> encode(const std::vector<PropertyRecord> &records, std::string *error) {
    std::string out;
    for (const PropertyRecord &record : records) {
        if (record.name.empty() || record.name.size() > kMaxNameLength) {
            if (error) {
                *error = "property name of " + std::to_string(record.name.size()) + " bytes";
            }
            return std::nullopt;
        }
        put<uint16_t>(out, static_cast<uint16_t>(record.name.size()));
        out += record.name;
        switch (typeOf(record.value)) {
        case ValueType::Int16:
            put<uint16_t>(out, VtI2);
            put<int16_t>(out, std::get<int16_t>(record.value));
            break;
        case ValueType::Int32:
            put<uint16_t>(out, VtI4);
            put<int32_t>(out, std::get<int32_t>(record.value));
            break;
        case ValueType::Double:
            put<uint16_t>(out, VtR8);
            put<uint64_t>(out, std::bit_cast<uint64_t>(std::get<double>(record.value)));
            break;
        case ValueType::Bool:
            put<uint16_t>(out, VtBool);
            put<int16_t>(out, std::get<bool>(record.value) ? int16_t(-1) : int16_t(0));
            break;
        case ValueType::Text: {
            const std::string &text = std::get<std::string>(record.value);
            if (text.size() > std::numeric_limits<uint32_t>::max()) {
                if (error) {
                    *error = "text of " + record.name + " too long";
                }
                return std::nullopt;
            }
            put<uint16_t>(out, VtBstr);
            put<uint32_t>(out, static_cast<uint32_t>(text.size()));
            out += text;
            break;
        }
        }
    }
    return out;
}

} // namespace zelp::RecordStream
