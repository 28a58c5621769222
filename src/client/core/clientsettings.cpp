#include "clientsettings.h"

#include "common/ansi.h"

#include <algorithm>

namespace zelp {

ClientSettings::ClientSettings(QObject *parent) : QObject(parent) {}

std::optional<PropertyValue> ClientSettings::value(std::string_view name) const {
    if (name == SettingsSchema::kPinned) {
        return PropertyValue(pinned_);
    }
    const auto def = SettingsSchema::find(name);
    if (!def) {
        return std::nullopt;
    }
    const auto it = values_.find(name);
    return it != values_.end() ? it->second : def->defaultValue;
}

bool ClientSettings::setValue(std::string_view name, const PropertyValue &value, QString *error) {
    const auto def = SettingsSchema::find(name);
    if (!def) {
        if (error) {
            *error = QStringLiteral("unknown setting \"%1\"").arg(Ansi::toUnicode(name));
        }
        return false;
    }
    const auto converted = convertTo(def->type, value);
    if (!converted) {
        if (error) {
            *error = QStringLiteral("\"%1\" is no %2 value for %3")
                         .arg(Ansi::toUnicode(formatValue(value)),
                              QString::fromLatin1(typeName(def->type)), Ansi::toUnicode(name));
        }
        return false;
    }
    if (name == SettingsSchema::kPinned) {
        const int16_t pinned = std::get<int16_t>(*converted);
        if (pinned != pinned_) {
            pinned_ = pinned;
            Q_EMIT edited();
        }
        return true;
    }
    const PropertyValue current = *this->value(name);
    if (typeOf(current) == def->type && sameValue(current, *converted)) {
        return true;
    }
    if (sameValue(*converted, def->defaultValue)) {
        if (auto it = values_.find(name); it != values_.end()) {
            values_.erase(it);
        }
    } else {
        values_.insert_or_assign(std::string(name), *converted);
    }
    Q_EMIT edited();
    return true;
}

void ClientSettings::setPinned(int pinned) {
    setValue(SettingsSchema::kPinned, PropertyValue(int32_t(pinned)));
}

void ClientSettings::ReadProperties(const PropertyBag &bag) {
    for (const PropertyRecord &record : bag.records()) {
        if (SettingsSchema::find(record.name)) {
            setValue(record.name, record.value);
        }
    }
}

std::vector<PropertyRecord> ClientSettings::toRecords() const {
    std::vector<PropertyRecord> records;
    for (const SettingDef &def : SettingsSchema::all()) {
        if (auto it = values_.find(def.name); it != values_.end()) {
            records.push_back({def.name, it->second});
        }
    }
    for (const auto &entry : values_) {
        if (std::none_of(records.begin(), records.end(),
                         [&](const PropertyRecord &r) { return r.name == entry.first; })) {
            records.push_back({entry.first, entry.second}); // keys beyond F1 to F12
        }
    }
    if (pinned_ != 0) {
        records.push_back({std::string(SettingsSchema::kPinned), pinned_});
    }
    records.insert(records.end(), unread_.begin(), unread_.end());
    return records;
}

void ClientSettings::assign(const std::vector<PropertyRecord> &records) {
    values_.clear();
    unread_.clear();
    pinned_ = 0;
    for (const PropertyRecord &record : records) {
        const auto def = SettingsSchema::find(record.name);
        const auto converted = def ? convertTo(def->type, record.value) : std::nullopt;
        if (!converted) {
            // A later record of the same name wins, as in the stream itself.
            std::erase_if(unread_, [&](const PropertyRecord &r) { return r.name == record.name; });
            unread_.push_back(record);
            continue;
        }
        std::erase_if(unread_, [&](const PropertyRecord &r) { return r.name == record.name; });
        if (record.name == SettingsSchema::kPinned) {
            pinned_ = std::get<int16_t>(*converted);
        } else if (sameValue(*converted, def->defaultValue)) {
            values_.erase(record.name);
        } else {
            values_.insert_or_assign(record.name, *converted);
        }
    }
}

std::vector<std::string> ClientSettings::extraKeyNames() const {
    std::vector<std::string> names;
    for (const auto &entry : values_) {
        const std::string &name = entry.first;
        if (name.starts_with(SettingsSchema::kFunctionKeyPrefix) &&
            std::none_of(SettingsSchema::all().begin(), SettingsSchema::all().end(),
                         [&](const SettingDef &d) { return d.name == name; })) {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace zelp
