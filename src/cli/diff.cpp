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

// What differs between two documents.
struct Differences {
    QJsonArray settings;  // {name, a, b} each
    QString settingLines; // "NAME: A | B" each
    QString kindA, kindB;
    bool scripts = false;
    bool patterns = false;
    bool alike() const { return kindA == kindB && settings.isEmpty() && !scripts && !patterns; }
};

void diffSettings(const ClientDocument &docA, const ClientDocument &docB, Differences &d) {
    const auto a = storedValues(docA);
    const auto b = storedValues(docB);
    std::vector<std::string> names;
    for (const auto *values : {&a, &b}) {
        for (const auto &entry : *values) {
            if (std::find(names.begin(), names.end(), entry.first) == names.end()) {
                names.push_back(entry.first);
            }
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        const auto va = valueIn(a, name);
        const auto vb = valueIn(b, name);
        if (va && vb && typeOf(*va) == typeOf(*vb) && sameValue(*va, *vb)) {
            continue;
        }
        d.settings.append(QJsonObject{{QStringLiteral("name"), Ansi::toUnicode(name)},
                                      {QStringLiteral("a"), jsonOrNull(va)},
                                      {QStringLiteral("b"), jsonOrNull(vb)}});
        d.settingLines += QStringLiteral("%1: %2 | %3\n")
                              .arg(Output::terminalSafe(Ansi::toUnicode(name)), displayOrNone(va),
                                   displayOrNone(vb));
    }
}

Differences compare(const ClientDocument &a, const ClientDocument &b) {
    Differences d;
    diffSettings(a, b, d);
    d.kindA = Output::kindName(a.SafeMode());
    d.kindB = Output::kindName(b.SafeMode());
    d.scripts = a.Script() != b.Script();
    d.patterns = a.MousePatterns() != b.MousePatterns();
    return d;
}

QJsonObject jsonOf(const QStringList &files, const Differences &d) {
    return {
        {QStringLiteral("a"), files.at(0)},
        {QStringLiteral("b"), files.at(1)},
        {QStringLiteral("alike"), d.alike()},
        {QStringLiteral("client"),
         QJsonObject{{QStringLiteral("a"), d.kindA}, {QStringLiteral("b"), d.kindB}}},
        {QStringLiteral("settings"), d.settings},
        {QStringLiteral("scriptDiffers"), d.scripts},
        {QStringLiteral("mousePatternsDiffer"), d.patterns},
    };
}

QString textOf(const QStringList &files, const ClientDocument &a, const ClientDocument &b,
               const Differences &d) {
    QString out = QStringLiteral("--- %1 (%2 client)\n+++ %3 (%4 client)\n")
                      .arg(Output::terminalSafe(files.at(0)), d.kindA,
                           Output::terminalSafe(files.at(1)), d.kindB);
    if (d.kindA != d.kindB) {
        out += QStringLiteral("client: %1 | %2\n").arg(d.kindA, d.kindB);
    }
    out += d.settingLines;
    if (d.scripts) {
        out += QStringLiteral("script differs (%1 | %2 bytes)\n")
                   .arg(a.Script().size())
                   .arg(b.Script().size());
    }
    if (d.patterns) {
        out += QStringLiteral("mouse patterns differ (%1 | %2 bytes)\n")
                   .arg(a.MousePatterns().size())
                   .arg(b.MousePatterns().size());
    }
    return out;
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
    const Differences d = compare(*docs[0], *docs[1]);
    if (parser.isSet(QStringLiteral("json"))) {
        Output::printJson(jsonOf(files, d));
    } else if (!d.alike()) { // like diff, nothing to say when alike
        Output::print(textOf(files, *docs[0], *docs[1], d));
    }
    return d.alike() ? kOk : kFailed;
}

} // namespace zelp::cli
