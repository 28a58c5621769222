#pragma once

#include "propertybag.h"
#include "settingsschema.h"

#include <QObject>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zelp {

// The settings of one connection, typed by the schema. Holds only what differs from the
// client's defaults, plus what it read and did not understand, so that a save gives it back.
class ClientSettings : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Pinned READ Pinned WRITE setPinned)
public:
    explicit ClientSettings(QObject *parent = nullptr);

    // The stored value or the schema's default; nullopt for a name the schema lacks.
    std::optional<PropertyValue> value(std::string_view name) const;
    // Converts to the setting's type; false with *error set for an unknown name or a value
    // that does not fit, and nothing changes. Emits edited() when the value really changed.
    bool setValue(std::string_view name, const PropertyValue &value, QString *error = nullptr);

    int16_t Pinned() const { return pinned_; }
    void setPinned(int pinned);

    // Takes over every setting the bag holds; other names are ignored.
    void ReadProperties(const PropertyBag &bag);

    // The settings that differ from their defaults, in schema order, then the pinned value
    // and what was kept unread.
    std::vector<PropertyRecord> toRecords() const;
    // Replaces everything with what records hold; nothing signals.
    void assign(const std::vector<PropertyRecord> &records);

    // The names of the defined function keys ("sFKey" + key name) beyond the schema's own.
    std::vector<std::string> extraKeyNames() const;

Q_SIGNALS:
    void edited();

private:
    std::map<std::string, PropertyValue, std::less<>> values_;
    std::vector<PropertyRecord> unread_;
    int16_t pinned_ = 0;
};

} // namespace zelp
