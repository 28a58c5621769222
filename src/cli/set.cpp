#include "commands.h"
#include "documentcommands.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

namespace zelp::cli {

int runSet(const QStringList &args) {
    if (args.size() < 2 || args.first().startsWith(u'-')) {
        return usage("set");
    }
    struct Assignment {
        std::string name;
        PropertyValue value;
    };
    std::vector<Assignment> assignments;
    for (const QString &arg : args.mid(1)) {
        const qsizetype equals = arg.indexOf(u'=');
        if (equals <= 0) {
            return usage("set");
        }
        const QString name = arg.left(equals);
        const QString text = arg.mid(equals + 1);
        const auto def = SettingsSchema::find(Ansi::fromUnicode(name));
        if (!def) {
            return fail(QStringLiteral("unknown setting \"%1\"; nothing was changed").arg(name));
        }
        const std::string bytes = Ansi::fromUnicode(text);
        if (Ansi::toUnicode(bytes) != text) {
            return fail(QStringLiteral("the value of %1 has characters the connection file cannot "
                                       "hold; nothing was changed")
                            .arg(name));
        }
        const auto value = parseValue(def->type, bytes);
        if (!value) {
            return fail(QStringLiteral("\"%1\" is no %2 value for %3; nothing was changed")
                            .arg(text, QString::fromLatin1(typeName(def->type)), name));
        }
        assignments.push_back({def->name, *value});
    }
    QString error;
    const auto doc = ClientDocument::load(args.first(), &error);
    if (!doc) {
        return fail(QStringLiteral("%1 is no connection file: %2").arg(args.first(), error));
    }
    for (const Assignment &a : assignments) {
        if (!doc->Settings()->setValue(a.name, a.value, &error)) {
            return fail(error + QStringLiteral("; nothing was changed"));
        }
    }
    if (doc->Changed() && !doc->save(&error)) {
        return fail(QStringLiteral("unable to save %1: %2").arg(args.first(), error));
    }
    return kOk;
}

} // namespace zelp::cli
