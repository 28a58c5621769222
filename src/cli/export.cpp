#include "batch.h"
#include "commands.h"
#include "csvtable.h"
#include "filelist.h"
#include "fleetcommands.h"
#include "output.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

namespace zelp::cli {

namespace {

// The setting's place in the schema; names beyond it (function keys) go after, by name.
size_t schemaIndex(const std::string &name) {
    const auto &all = SettingsSchema::all();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const SettingDef &d) { return d.name == name; });
    return size_t(it - all.begin());
}

struct Loaded {
    QString name; // in the sheet
    std::unique_ptr<ClientDocument> doc;
};

// The files to export and the settings they give values to.
struct Export {
    std::vector<Loaded> loaded;
    QHash<QString, QString> taken; // file name in the sheet -> the file that has it
    std::set<std::string> names;
};

void addFile(Export &out, Batch &batch, const QString &file) {
    auto doc = loadStep(batch, file);
    if (!doc) {
        return;
    }
    // The sheet names files, not paths: an import makes them in one folder.
    const QString name = QFileInfo(file).fileName();
    if (const auto it = out.taken.constFind(name); it != out.taken.constEnd()) {
        batch.failed(file, QStringLiteral("its name is in the sheet already, for %1").arg(*it));
        return;
    }
    out.taken.insert(name, file);
    QStringList unknown;
    for (const PropertyRecord &r : doc->Settings()->toRecords()) {
        if (SettingsSchema::find(r.name)) {
            out.names.insert(r.name);
        } else {
            unknown << Ansi::toUnicode(r.name);
        }
    }
    if (!unknown.isEmpty()) {
        fail(QStringLiteral("%1: warning: values no setting knows are left out: %2")
                 .arg(file, unknown.join(QStringLiteral(", "))));
    }
    out.loaded.push_back({name, std::move(doc)});
}

QByteArray sheetOf(const Export &in) {
    std::vector<std::string> columns(in.names.begin(), in.names.end());
    std::stable_sort(
        columns.begin(), columns.end(),
        [](const std::string &a, const std::string &b) { return schemaIndex(a) < schemaIndex(b); });
    std::vector<CsvCell> heading{QStringLiteral("file"), QStringLiteral("kind")};
    for (const std::string &name : columns) {
        heading.emplace_back(Ansi::toUnicode(name));
    }
    QByteArray sheet = CsvTable::row(heading);
    for (const Loaded &l : in.loaded) {
        // No cell of the sheet is a formula to a spreadsheet; import takes the guard off.
        std::vector<CsvCell> cells{CsvTable::guard(l.name), Output::kindName(l.doc->SafeMode())};
        for (const std::string &name : columns) {
            // An empty text is written as "", which an import reads as an empty text.
            cells.emplace_back(
                CsvTable::guard(Ansi::toUnicode(formatValue(*l.doc->Settings()->value(name)))));
        }
        sheet += CsvTable::row(cells);
    }
    return sheet;
}

} // namespace

int runExport(const QStringList &args) {
    QCommandLineParser parser;
    const std::optional<FileList> list = parseFiles(parser, "export", args);
    if (!list) {
        return kUsage;
    }
    Batch batch(*list);
    Export out;
    if (parser.isSet(QStringLiteral("all"))) {
        for (const SettingDef &d : SettingsSchema::all()) {
            out.names.insert(d.name);
        }
    }
    for (const QString &file : list->files) {
        addFile(out, batch, file);
    }
    const QByteArray sheet = sheetOf(out);
    if (!out.loaded.empty() || batch.failures() == 0) {
        std::fwrite(sheet.constData(), 1, size_t(sheet.size()), stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        batch.failedArgument(QStringLiteral("unable to write the sheet"));
    }
    return batch.finish(
        QStringLiteral("%1 of %2 files exported").arg(out.loaded.size()).arg(list->files.size()));
}

} // namespace zelp::cli
