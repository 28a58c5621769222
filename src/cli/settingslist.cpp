#include "commands.h"
#include "fleetcommands.h"
#include "output.h"

#include "client/core/settingsschema.h"
#include "common/ansi.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cstring>

namespace zelp::cli {

int runSettings(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "settings", args)) {
        return kUsage;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError("settings", QStringLiteral("no arguments expected"));
    }
    const auto &all = SettingsSchema::all();
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray list;
        for (const SettingDef &d : all) {
            list.append(QJsonObject{
                {QStringLiteral("name"), Ansi::toUnicode(d.name)},
                {QStringLiteral("type"), QString::fromLatin1(typeName(d.type))},
                {QStringLiteral("default"), Output::jsonOf(d.defaultValue)},
                {QStringLiteral("group"), Ansi::toUnicode(d.group)},
                {QStringLiteral("label"), Ansi::toUnicode(d.label)},
            });
        }
        Output::printJson(QJsonValue(list));
        return kOk;
    }
    qsizetype nameWidth = 4, typeWidth = 4, defaultWidth = 7, groupWidth = 5;
    for (const SettingDef &d : all) {
        nameWidth = std::max<qsizetype>(nameWidth, qsizetype(d.name.size()));
        typeWidth = std::max<qsizetype>(typeWidth, qsizetype(std::strlen(typeName(d.type))));
        defaultWidth = std::max(defaultWidth, Output::display(d.defaultValue).size());
        groupWidth = std::max(groupWidth, Ansi::toUnicode(d.group).size());
    }
    const auto row = [&](const QString &name, const QString &type, const QString &def,
                         const QString &group, const QString &label) {
        return name.leftJustified(nameWidth + 2) + type.leftJustified(typeWidth + 2) +
               def.leftJustified(defaultWidth + 2) + group.leftJustified(groupWidth + 2) + label +
               u'\n';
    };
    QString out = row(QStringLiteral("NAME"), QStringLiteral("TYPE"), QStringLiteral("DEFAULT"),
                      QStringLiteral("GROUP"), QStringLiteral("LABEL"));
    for (const SettingDef &d : all) {
        out += row(Ansi::toUnicode(d.name), QString::fromLatin1(typeName(d.type)),
                   Output::display(d.defaultValue), Ansi::toUnicode(d.group),
                   Ansi::toUnicode(d.label));
    }
    Output::print(out);
    return kOk;
}

} // namespace zelp::cli
