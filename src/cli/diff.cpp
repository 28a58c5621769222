#include "commands.h"
#include "fleetcommands.h"
#include "output.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <map>
#include <memory>

namespace zelp::cli {

namespace {

// Every stored value of a document by name, read or not, defaults left out.
std::map<std::string, PropertyValue> storedValues(const ClientDocument &doc) {
    std::map<std::string, PropertyValue> values;
    for (PropertyRecord &r : doc.Settings()->toRecords()) {
        values.insert_or_assign(std::move(r.name), std::move(r.value));
    }
    return values;
}

// The value a name has in a document: stored, else its default; nullopt for a name the
// schema does not know and the document does not hold.
std::optional<PropertyValue> valueIn(const std::map<std::string, PropertyValue> &stored,
                                     const std::string &name) {
    if (const auto it = stored.find(name); it != stored.end()) {
        return it->second;
    }
    if (const auto def = SettingsSchema::find(name)) {
        return def->defaultValue;
    }
    return std::nullopt;
}

QJsonValue jsonOrNull(const std::optional<PropertyValue> &value) {
    return value ? Output::jsonOf(*value) : QJsonValue(QJsonValue::Null);
}

QString displayOrNone(const std::optional<PropertyValue> &value) {
    return value ? Output::display(*value) : QStringLiteral("(none)");
}

} // namespace

int runDiff(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "diff", args)) {
        return kUsage;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        return usageError("diff", QStringLiteral("two files expected"));
    }
    std::unique_ptr<ClientDocument> docs[2];
    for (int i = 0; i < 2; ++i) {
        QString error;
        docs[i] = ClientDocument::load(files.at(i), &error);
        if (!docs[i]) {
            fail(QStringLiteral("%1: no connection file: %2").arg(files.at(i), error));
            return kUsage;
        }
    }
    const auto a = storedValues(*docs[0]);
    const auto b = storedValues(*docs[1]);
    std::vector<std::string> names;
    for (const auto *values : {&a, &b}) {
        for (const auto &entry : *values) {
            if (std::find(names.begin(), names.end(), entry.first) == names.end()) {
                names.push_back(entry.first);
            }
        }
    }
    std::sort(names.begin(), names.end());

    QJsonArray settings;
    QString text;
    for (const std::string &name : names) {
        const auto va = valueIn(a, name);
        const auto vb = valueIn(b, name);
        const bool same = va && vb && typeOf(*va) == typeOf(*vb) && sameValue(*va, *vb);
        if (same) {
            continue;
        }
        settings.append(QJsonObject{{QStringLiteral("name"), Ansi::toUnicode(name)},
                                    {QStringLiteral("a"), jsonOrNull(va)},
                                    {QStringLiteral("b"), jsonOrNull(vb)}});
        text += QStringLiteral("%1: %2 | %3\n")
                    .arg(Output::terminalSafe(Ansi::toUnicode(name)), displayOrNone(va),
                         displayOrNone(vb));
    }
    const QString kindA = Output::kindName(docs[0]->SafeMode());
    const QString kindB = Output::kindName(docs[1]->SafeMode());
    const bool scripts = docs[0]->Script() != docs[1]->Script();
    const bool patterns = docs[0]->MousePatterns() != docs[1]->MousePatterns();
    const bool alike = kindA == kindB && settings.isEmpty() && !scripts && !patterns;
    if (parser.isSet(QStringLiteral("json"))) {
        Output::printJson(QJsonObject{
            {QStringLiteral("a"), files.at(0)},
            {QStringLiteral("b"), files.at(1)},
            {QStringLiteral("alike"), alike},
            {QStringLiteral("client"),
             QJsonObject{{QStringLiteral("a"), kindA}, {QStringLiteral("b"), kindB}}},
            {QStringLiteral("settings"), settings},
            {QStringLiteral("scriptDiffers"), scripts},
            {QStringLiteral("mousePatternsDiffer"), patterns},
        });
        return alike ? kOk : kFailed;
    }
    if (alike) {
        return kOk; // like diff, nothing to say
    }
    QString out = QStringLiteral("--- %1 (%2 client)\n+++ %3 (%4 client)\n")
                      .arg(Output::terminalSafe(files.at(0)), kindA,
                           Output::terminalSafe(files.at(1)), kindB);
    if (kindA != kindB) {
        out += QStringLiteral("client: %1 | %2\n").arg(kindA, kindB);
    }
    out += text;
    if (scripts) {
        out += QStringLiteral("script differs (%1 | %2 bytes)\n")
                   .arg(docs[0]->Script().size())
                   .arg(docs[1]->Script().size());
    }
    if (patterns) {
        out += QStringLiteral("mouse patterns differ (%1 | %2 bytes)\n")
                   .arg(docs[0]->MousePatterns().size())
                   .arg(docs[1]->MousePatterns().size());
    }
    Output::print(out);
    return alike ? kOk : kFailed;
}

} // namespace zelp::cli
