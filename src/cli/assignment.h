#pragma once

#include "client/core/propertyvalue.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace zelp {
class ClientDocument;
}

namespace zelp::cli {

// A setting to give a value, checked against the schema.
struct Assignment {
    std::string name;
    PropertyValue value;
};

// One setting's value before and after a change.
struct Change {
    std::string name;
    PropertyValue before;
    PropertyValue after;
};

// Checks "NAME=VALUE" texts against the schema. Returns them typed, or nullopt with *error
// set and *usageError true when a text is no assignment at all.
std::optional<std::vector<Assignment>> parseAssignments(const QStringList &texts, QString *error,
                                                        bool *usageError);
// The value of a text cell or argument for a setting; nullopt with *error set when the
// connection file cannot hold the characters or the text does not fit the setting's type.
std::optional<PropertyValue> valueFor(const std::string &name, const QString &text, QString *error);

// Applies the assignments to the document; what each did, in order.
std::vector<Change> apply(ClientDocument &doc, const std::vector<Assignment> &assignments);

// "FILE: NAME OLD -> NEW" for each change, "(unchanged)" after those that changed nothing.
QString describeChanges(const QString &file, const std::vector<Change> &changes);
// The changes in JSON: one object {name, old, new} each.
QJsonArray jsonOfChanges(const std::vector<Change> &changes);

} // namespace zelp::cli
