#include "batch.h"
#include "commands.h"
#include "documentcommands.h"
#include "filelist.h"
#include "output.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QJsonObject>

#include <algorithm>

namespace zelp::cli {

namespace {

// Script and mouse patterns as they stand, after a line that gives their length, so that the
// end is plain even without a final line end.
QString verbatim(const char *what, const std::string &bytes) {
    QString out = QStringLiteral("%1: %2 bytes\n").arg(QLatin1String(what)).arg(bytes.size());
    out += Ansi::toUnicode(bytes);
    if (!bytes.empty() && bytes.back() != '\n') {
        out += u'\n';
    }
    return out;
}

// The form for git's textconv: the same file gives the same text, wherever it lies.
QString textForm(const ClientDocument &doc) {
    std::vector<PropertyRecord> records = Output::settingsOf(doc, true);
    std::sort(records.begin(), records.end(),
              [](const PropertyRecord &x, const PropertyRecord &y) { return x.name < y.name; });
    QString out = QStringLiteral("client: %1\n").arg(Output::kindName(doc.SafeMode()));
    for (const PropertyRecord &r : records) {
        out += QStringLiteral("%1 = %2\n").arg(Ansi::toUnicode(r.name), Output::display(r.value));
    }
    return out + verbatim("script", doc.Script()) + verbatim("mouse patterns", doc.MousePatterns());
}

} // namespace

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
    const bool text = parser.isSet(QStringLiteral("text"));
    if (text && (all || json)) {
        return usageError("show", QStringLiteral("--text goes alone, without --all or --json"));
    }
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
        if (text) {
            // Many files: each after a line with its name, as head(1) does.
            Output::print((list.many ? QStringLiteral("%1==> %2 <==\n")
                                           .arg(shown > 0 ? QStringLiteral("\n") : QString(),
                                                Output::terminalSafe(file))
                                     : QString()) +
                          textForm(*doc));
            ++shown;
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
