#include "batch.h"
#include "commands.h"
#include "documentcommands.h"
#include "filelist.h"
#include "output.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QJsonObject>

namespace zelp::cli {

int runShow(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "show", args)) {
        return kUsage;
    }
    if (parser.positionalArguments().isEmpty()) {
        return usageError("show", QStringLiteral("no file given"));
    }
    const bool json = parser.isSet(QStringLiteral("json"));
    const bool all = parser.isSet(QStringLiteral("all"));
    const FileList list =
        collectFiles(parser.positionalArguments(), parser.isSet(QStringLiteral("recursive")));
    Batch batch(list.files.size(), list.many);
    for (const QString &line : list.errors) {
        batch.failedArgument(line);
    }
    qsizetype shown = 0;
    for (const QString &file : list.files) {
        QString error;
        const auto doc = ClientDocument::load(file, &error);
        batch.step();
        if (!doc) {
            batch.failed(file, QStringLiteral("no connection file: %1").arg(error));
            continue;
        }
        const std::vector<PropertyRecord> records = Output::settingsOf(*doc, all);
        const QString kind = Output::kindName(doc->SafeMode());
        if (json) {
            QJsonObject settings;
            for (const PropertyRecord &r : records) {
                settings.insert(Ansi::toUnicode(r.name), Output::jsonOf(r.value));
            }
            Output::printJson(QJsonObject{
                {QStringLiteral("file"), file},
                {QStringLiteral("client"), kind},
                {QStringLiteral("settings"), settings},
                {QStringLiteral("scriptLength"), qint64(doc->Script().size())},
                {QStringLiteral("mousePatternsLength"), qint64(doc->MousePatterns().size())},
            });
        } else {
            QString out = shown > 0 ? QStringLiteral("\n") : QString();
            out += QStringLiteral("%1: %2 client\n").arg(Output::terminalSafe(file), kind);
            for (const PropertyRecord &r : records) {
                out += QStringLiteral("%1 = %2\n")
                           .arg(Output::terminalSafe(Ansi::toUnicode(r.name)),
                                Output::display(r.value));
            }
            if (records.empty()) {
                out += QStringLiteral("(every setting has its default)\n");
            }
            out += QStringLiteral("script: %1 bytes\n").arg(doc->Script().size());
            Output::print(out);
        }
        ++shown;
    }
    return batch.finish(QStringLiteral("%1 of %2 files shown").arg(shown).arg(list.files.size()));
}

} // namespace zelp::cli
