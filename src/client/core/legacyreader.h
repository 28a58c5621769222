#pragma once

#include "propertyvalue.h"

#include <QString>

#include <map>
#include <string>

namespace zelp {

// Reads the properties of a 97-generation connection file: a compound file whose root
// "Properties" stream holds property records under the 97 names.
class LegacyDocumentReader {
public:
    // True when file is a compound file whose root class identifier is classId (with or
    // without braces) and whose "Properties" stream is valid. Afterwards ReadValue answers
    // for the names of nameList (CR LF separated); the entry "Key(KeyCount)" stands for
    // "Key1" up to "Key" + the value of "KeyCount".
    bool LoadDocument(const QString &file, const QString &classId, const std::string &nameList);
    // The value stored under name, with its type; defaultValue when the document has none or
    // the name is not one that was asked for.
    PropertyValue ReadValue(const std::string &name, const PropertyValue &defaultValue) const;
    // True when the document holds a value under name (one that was asked for).
    bool HasValue(const std::string &name) const { return values_.count(name) != 0; }

    // Why the last LoadDocument returned false.
    QString lastError() const { return lastError_; }

private:
    std::map<std::string, PropertyValue> values_;
    QString lastError_;
};

} // namespace zelp
