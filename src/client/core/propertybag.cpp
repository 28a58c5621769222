#include "propertybag.h"

#include <algorithm>

namespace zelp {

void PropertyBag::WriteProperty(const std::string &name, const PropertyValue &value,
                                const std::optional<PropertyValue> &defaultValue) {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [&](const PropertyRecord &r) { return r.name == name; });
    if (defaultValue && sameValue(value, *defaultValue)) {
        if (it != records_.end()) {
            records_.erase(it);
        }
        return;
    }
    if (it != records_.end()) {
        it->value = value;
    } else {
        records_.push_back({name, value});
    }
}

const PropertyValue *PropertyBag::find(const std::string &name) const {
    auto it = std::find_if(records_.begin(), records_.end(),
                           [&](const PropertyRecord &r) { return r.name == name; });
    return it == records_.end() ? nullptr : &it->value;
}

bool PropertyBag::contains(const std::string &name) const {
    return find(name) != nullptr;
}

PropertyValue PropertyBag::ReadProperty(const std::string &name,
                                        const PropertyValue &defaultValue) const {
    const PropertyValue *stored = find(name);
    return stored ? *stored : defaultValue;
}

} // namespace zelp
