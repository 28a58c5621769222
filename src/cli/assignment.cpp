#include "assignment.h"

#include "output.h"

#include "client/core/clientdocument.h"
#include "client/core/settingsschema.h"
#include "common/ansi.h"

#include <QJsonArray>
#include <QJsonObject>

namespace zelp::cli {

std::optional<PropertyValue> valueFor(const std::string &name, const QString &text,
                                      QString *error) {
    const auto def = SettingsSchema::find(name);
    if (!def) {
        *error = QStringLiteral("unknown setting \"%1\"").arg(Ansi::toUnicode(name));
        return std::nullopt;
    }
    const std::string bytes = Ansi::fromUnicode(text);
    if (Ansi::toUnicode(bytes) != text) {
        *error = QStringLiteral("the value of %1 has characters the connection file cannot hold")
                     .arg(Ansi::toUnicode(name));
        return std::nullopt;
    }
    auto value = parseValue(def->type, bytes);
    const char *refused = value ? SettingsSchema::refusal(name, *value) : typeName(def->type);
    if (refused) {
        *error = QStringLiteral("\"%1\" is no %2 value for %3")
                     .arg(text, QString::fromLatin1(refused), Ansi::toUnicode(name));
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<Assignment>> parseAssignments(const QStringList &texts, QString *error,
                                                        bool *usageError) {
    *usageError = false;
    std::vector<Assignment> assignments;
    for (const QString &text : texts) {
        const qsizetype equals = text.indexOf(u'=');
        if (equals <= 0) {
            *usageError = true;
            *error = QStringLiteral("\"%1\" is no NAME=VALUE").arg(text);
            return std::nullopt;
        }
        const QString name = text.left(equals);
        if (Ansi::toUnicode(Ansi::fromUnicode(name)) != name ||
            !SettingsSchema::find(Ansi::fromUnicode(name))) {
            *error = QStringLiteral("unknown setting \"%1\"; nothing was changed").arg(name);
            return std::nullopt;
        }
        const std::string key = Ansi::fromUnicode(name);
        for (const Assignment &a : assignments) {
            if (a.name == key) {
                *usageError = true;
                *error = QStringLiteral("%1 is assigned twice").arg(name);
                return std::nullopt;
            }
        }
        const auto value = valueFor(key, text.mid(equals + 1), error);
        if (!value) {
            *error += QStringLiteral("; nothing was changed");
            return std::nullopt;
        }
        assignments.push_back({key, *value});
    }
    return assignments;
}

std::vector<Change> apply(ClientDocument &doc, const std::vector<Assignment> &assignments) {
    std::vector<Change> changes;
    for (const Assignment &a : assignments) {
        const PropertyValue before = *doc.Settings()->value(a.name);
        // The value was checked against the schema, so setting it cannot fail.
        doc.Settings()->setValue(a.name, a.value);
        changes.push_back({a.name, before, *doc.Settings()->value(a.name)});
    }
    return changes;
}

QString describeChanges(const QString &file, const std::vector<Change> &changes) {
    QString out;
    for (const Change &c : changes) {
        const bool same = typeOf(c.before) == typeOf(c.after) && sameValue(c.before, c.after);
        out +=
            QStringLiteral("%1: %2 %3 -> %4%5\n")
                .arg(Output::terminalSafe(file), Ansi::toUnicode(c.name), Output::display(c.before),
                     Output::display(c.after), same ? QStringLiteral(" (unchanged)") : QString());
    }
    return out;
}

QJsonArray jsonOfChanges(const std::vector<Change> &changes) {
    QJsonArray list;
    for (const Change &c : changes) {
        list.append(QJsonObject{{QStringLiteral("name"), Ansi::toUnicode(c.name)},
                                {QStringLiteral("old"), Output::jsonOf(c.before)},
                                {QStringLiteral("new"), Output::jsonOf(c.after)}});
    }
    return list;
}

} // namespace zelp::cli
