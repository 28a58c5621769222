#include "batch.h"
#include "commands.h"
#include "csvtable.h"
#include "fleetcommands.h"
#include "newconnection.h"
#include "output.h"
#include "sheetcheck.h"
#include "stagedwrites.h"
#include "stoprequest.h"

#include "client/core/clientdocument.h"
#include "client/core/settingsschema.h"
#include "common/ansi.h"
#include "common/filereplace.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>

namespace zelp::cli {

namespace {

struct Target {
    const SheetEntry *entry = nullptr;
    QString path;
    std::unique_ptr<ClientDocument> doc; // nullptr: a new file
    FileStamp read;                      // the file as it was when it was read
};

std::optional<QByteArray> readSheet(const QString &name, QString *error) {
    QFile file;
    const bool opened = name == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(CsvTable::kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// What a new file's settings change from the defaults.
std::vector<Change> changesOfNew(const std::vector<Assignment> &settings) {
    std::vector<Change> changes;
    for (const Assignment &a : settings) {
        changes.push_back({a.name, SettingsSchema::find(a.name)->defaultValue, a.value});
    }
    return changes;
}

// What is told of one row once its file is in place.
void tellImported(const QString &path, const QString &action, bool isNew, bool unsafe,
                  const std::vector<Change> &changes, bool json, bool dryRun, bool differs) {
    if (json) {
        Output::printJson(QJsonObject{{QStringLiteral("file"), path},
                                      {QStringLiteral("action"), action},
                                      {QStringLiteral("client"), Output::kindName(!unsafe)},
                                      {QStringLiteral("changes"), jsonOfChanges(changes)},
                                      {QStringLiteral("written"), differs && !dryRun}});
    } else if (dryRun) {
        Output::print(QStringLiteral("%1: %2 (%3 client)\n")
                          .arg(Output::terminalSafe(path),
                               isNew ? QStringLiteral("new file") : QStringLiteral("existing file"),
                               Output::kindName(!unsafe)) +
                      describeChanges(path, changes));
    }
}

} // namespace

int runImport(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "import", args)) {
        return kUsage;
    }
    if (parser.positionalArguments().size() != 1) {
        return usageError("import", QStringLiteral("one SHEET expected"));
    }
    const QString into = parser.value(QStringLiteral("into"));
    if (into.isEmpty()) {
        return usageError("import", QStringLiteral("--into FOLDER is required"));
    }
    const QString sheetName = parser.positionalArguments().first();
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    const bool json = parser.isSet(QStringLiteral("json"));
    if (QFileInfo(into).exists() && !QFileInfo(into).isDir()) {
        return fail(QStringLiteral("%1 is no folder; nothing was written").arg(into));
    }

    QString error;
    const auto bytes = readSheet(sheetName, &error);
    if (!bytes) {
        return fail(error);
    }
    const auto rows = CsvTable::read(*bytes, &error);
    if (!rows) {
        fail(QStringLiteral("%1: %2").arg(sheetName, error));
        return fail(QStringLiteral("%1 is no CSV sheet; nothing was written").arg(sheetName));
    }
    SheetCheck check = checkSheet(*rows);
    // The files that exist must be connections of the kind the sheet gives them.
    std::vector<Target> targets;
    const QDir folder(into);
    for (const SheetEntry &entry : check.entries) {
        Target target{&entry, folder.filePath(entry.file), nullptr, {}};
        const QFileInfo info(target.path);
        const auto problem = [&](int column, const QString &why) {
            const CsvCell heading = column == entry.fileColumn ? CsvCell(QStringLiteral("file"))
                                                               : CsvCell(QStringLiteral("kind"));
            check.errors << QStringLiteral("row %1, column %2: %3")
                                .arg(entry.row)
                                .arg(columnName(column, heading), why);
        };
        if (info.isSymLink()) {
            problem(entry.fileColumn,
                    QStringLiteral("%1 is a symbolic link; it is not followed").arg(target.path));
            continue;
        }
        if (info.exists()) {
            if (!info.isFile()) {
                problem(entry.fileColumn, QStringLiteral("%1 is no file").arg(target.path));
                continue;
            }
            target.read = FileStamp::of(finalTarget(target.path));
            target.doc = ClientDocument::load(target.path, &error);
            if (!target.doc) {
                problem(entry.fileColumn,
                        QStringLiteral("%1 is no connection file: %2").arg(target.path, error));
                continue;
            }
            if (entry.unsafe && *entry.unsafe == target.doc->SafeMode()) {
                problem(entry.kindColumn,
                        QStringLiteral("%1 is a %2 connection; its kind cannot change")
                            .arg(target.path, Output::kindName(target.doc->SafeMode())));
                continue;
            }
        }
        targets.push_back(std::move(target));
    }
    if (!check.errors.isEmpty()) {
        for (const QString &line : check.errors) {
            fail(QStringLiteral("%1: %2").arg(sheetName, line));
        }
        return fail(QStringLiteral("%1 problem%2 in %3; nothing was written")
                        .arg(check.errors.size())
                        .arg(check.errors.size() == 1 ? QString() : QStringLiteral("s"))
                        .arg(sheetName));
    }
    if (!dryRun && !QDir().mkpath(into)) {
        return fail(QStringLiteral("unable to make the folder %1; nothing was written").arg(into));
    }

    Batch batch(qsizetype(targets.size()), true);
    qsizetype created = 0, updated = 0, unchanged = 0;
    StopRequest stop;
    StagedWrites staged(batch);
    for (Target &t : targets) {
        if (StopRequest::requested()) {
            break;
        }
        staged.watch(t.path, t.read);
        batch.step();
        const bool isNew = !t.doc;
        const bool unsafe = isNew ? t.entry->unsafe.value_or(false) : !t.doc->SafeMode();
        std::vector<Change> changes;
        bool differs = isNew;
        if (isNew) {
            changes = changesOfNew(t.entry->settings);
            if (!dryRun && !makeConnection(t.path, unsafe, t.entry->settings, &error)) {
                batch.failed(t.path, QStringLiteral("unable to make it: %1").arg(error));
                continue;
            }
        } else {
            changes = apply(*t.doc, t.entry->settings);
            differs = t.doc->Changed();
            if (differs && !dryRun && !t.doc->save(&error)) {
                batch.failed(t.path, QStringLiteral("unable to save: %1").arg(error));
                continue;
            }
        }
        const QString action = isNew     ? QStringLiteral("create")
                               : differs ? QStringLiteral("update")
                                         : QStringLiteral("unchanged");
        staged.add(t.path, differs && !dryRun,
                   [&, isNew, differs, unsafe, action, changes, path = t.path] {
                       ++(isNew ? created : differs ? updated : unchanged);
                       tellImported(path, action, isNew, unsafe, changes, json, dryRun, differs);
                   });
    }
    staged.commit();
    if (StopRequest::requested()) {
        batch.finish(QStringLiteral("stopped by signal %1 after %2 of %3 rows; %4 created, %5 "
                                    "updated")
                         .arg(StopRequest::signal())
                         .arg(batch.done())
                         .arg(targets.size())
                         .arg(created)
                         .arg(updated));
        return StopRequest::exitCode();
    }
    const QString would = dryRun ? QStringLiteral("would be ") : QString();
    return batch.finish(QStringLiteral("%1 %2created, %3 %2updated, %4 unchanged")
                            .arg(filesWord(created))
                            .arg(would)
                            .arg(updated)
                            .arg(unchanged));
}

} // namespace zelp::cli
