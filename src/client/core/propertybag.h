#pragma once

#include "propertyvalue.h"
#include "recordstream.h"

#include <optional>
#include <string>
#include <vector>

namespace zelp {

// An in-memory store of typed, named values. A value written equal to the default it is
// written with is not stored (and removes what was stored under its name); a name without a
// value reads as the default given to the read.
class PropertyBag {
public:
    // Without a default the value is always stored.
    void WriteProperty(const std::string &name, const PropertyValue &value,
                       const std::optional<PropertyValue> &defaultValue = std::nullopt);
    PropertyValue ReadProperty(const std::string &name, const PropertyValue &defaultValue) const;

    bool contains(const std::string &name) const;
    const PropertyValue *find(const std::string &name) const;
    // What is stored, in the order it was first written.
    const std::vector<PropertyRecord> &records() const { return records_; }
    bool empty() const { return records_.empty(); }
    void clear() { records_.clear(); }

private:
    std::vector<PropertyRecord> records_;
};

} // namespace zelp
