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

// What show prints of each file.
struct ShowForm {
    bool json = false;
    bool all = false;
    bool text = false;
    bool many = false; // the text form names each file
};

QJsonObject jsonForm(const QString &file, const ClientDocument &doc, bool all) {
    QJsonObject settings;
    for (const PropertyRecord &r : Output::settingsOf(doc, all)) {
        settings.insert(Ansi::toUnicode(r.name), Output::jsonOf(r.value));
    }
    return {
        {QStringLiteral("file"), file},
        {QStringLiteral("client"), Output::kindName(doc.SafeMode())},
        {QStringLiteral("settings"), settings},
        {QStringLiteral("scriptLength"), qint64(doc.Script().size())},
        {QStringLiteral("mousePatternsLength"), qint64(doc.MousePatterns().size())},
    };
}

QString plainForm(const QString &file, const ClientDocument &doc, bool all) {
    const std::vector<PropertyRecord> records = Output::settingsOf(doc, all);
    QString out = QStringLiteral("%1: %2 client\n")
                      .arg(Output::terminalSafe(file), Output::kindName(doc.SafeMode()));
    for (const PropertyRecord &r : records) {
        out += QStringLiteral("%1 = %2\n")
                   .arg(Output::terminalSafe(Ansi::toUnicode(r.name)), Output::display(r.value));
    }
    if (records.empty()) {
        out += QStringLiteral("(every setting has its default)\n");
    }
    return out + QStringLiteral("script: %1 bytes\n").arg(doc.Script().size());
}

void showOne(const ShowForm &form, const QString &file, const ClientDocument &doc, bool first) {
    const QString gap = first ? QString() : QStringLiteral("\n");
    if (form.text) {
        // Many files: each after a line with its name, as head(1) does.
        Output::print((form.many
                           ? QStringLiteral("%1==> %2 <==\n").arg(gap, Output::terminalSafe(file))
                           : QString()) +
                      textForm(doc));
    } else if (form.json) {
        Output::printJson(jsonForm(file, doc, form.all));
    } else {
        Output::print(gap + plainForm(file, doc, form.all));
    }
}

} // namespace

int runShow(const QStringList &args) {
    QCommandLineParser parser;
    const std::optional<FileList> list = parseFiles(parser, "show", args);
    if (!list) {
        return kUsage;
    }
    const ShowForm form{parser.isSet(QStringLiteral("json")), parser.isSet(QStringLiteral("all")),
                        parser.isSet(QStringLiteral("text")), list->many};
    if (form.text && (form.all || form.json)) {
        return usageError("show", QStringLiteral("--text goes alone, without --all or --json"));
    }
    Batch batch(*list);
    qsizetype shown = 0;
    for (const QString &file : list->files) {
        if (const auto doc = loadStep(batch, file)) {
            showOne(form, file, *doc, shown == 0);
            ++shown;
        }
    }
    return batch.finish(QStringLiteral("%1 of %2 files shown").arg(shown).arg(list->files.size()));
}

} // namespace zelp::cli
