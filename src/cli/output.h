#pragma once

#include "client/core/propertyvalue.h"
#include "client/core/recordstream.h"

#include <vector>

#include <QJsonValue>
#include <QString>

class QJsonObject;

namespace zelp {
class ClientDocument;
}

// What the commands print: text in UTF-8 on standard output, values as users read them.
namespace zelp::cli::Output {

void print(const QString &text);
// The object as one line of compact JSON.
void printJson(const QJsonObject &object);
void printJson(const QJsonValue &value);

// A value in JSON: texts as strings, booleans as booleans, numbers as numbers.
QJsonValue jsonOf(const PropertyValue &value);
// Text from a file, a file name or a host made harmless for a terminal: C0 controls, DEL and
// C1 controls (U+0080-U+009F) become \n, \r, \t or \xNN, so that nothing printed can set the
// title, the clipboard or the colours, or move the cursor.
QString terminalSafe(const QString &text);
// A value as show prints it: texts in double quotes with control characters escaped (\n,
// \r, \t, \xNN), numbers and booleans bare.
QString display(const PropertyValue &value);
// The settings of a document that differ from their defaults, in schema order, then what it
// holds beyond the schema; with all, every setting of the schema first.
std::vector<PropertyRecord> settingsOf(const ClientDocument &doc, bool all);

// "safe" or "unsafe".
QString kindName(bool safe);

} // namespace zelp::cli::Output
