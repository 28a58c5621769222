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

struct ImportArgs {
    QString sheet;
    QString into;
    bool dryRun = false;
    bool json = false;
};

enum class Action { Create, Update, Unchanged };

// As the JSON report names them, in the order of Action.
const char *const kActionNames[] = {"create", "update", "unchanged"};

// What is told of one row once its file is in place.
void tellImported(const ImportArgs &a, const QString &path, Action action, bool unsafe,
                  const std::vector<Change> &changes) {
    if (a.json) {
        Output::printJson(
            QJsonObject{{QStringLiteral("file"), path},
                        {QStringLiteral("action"), QLatin1String(kActionNames[int(action)])},
                        {QStringLiteral("client"), Output::kindName(!unsafe)},
                        {QStringLiteral("changes"), jsonOfChanges(changes)},
                        {QStringLiteral("written"), action != Action::Unchanged && !a.dryRun}});
    } else if (a.dryRun) {
        Output::print(QStringLiteral("%1: %2 (%3 client)\n")
                          .arg(Output::terminalSafe(path),
                               action == Action::Create ? QStringLiteral("new file")
                                                        : QStringLiteral("existing file"),
                               Output::kindName(!unsafe)) +
                      describeChanges(path, changes));
    }
}

// nullopt after a usage error.
std::optional<ImportArgs> parseImport(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "import", args)) {
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != 1) {
        usageError("import", QStringLiteral("one SHEET expected"));
        return std::nullopt;
    }
    const QString into = parser.value(QStringLiteral("into"));
    if (into.isEmpty()) {
        usageError("import", QStringLiteral("--into FOLDER is required"));
        return std::nullopt;
    }
    return ImportArgs{parser.positionalArguments().first(), into,
                      parser.isSet(QStringLiteral("dry-run")),
                      parser.isSet(QStringLiteral("json"))};
}

// The sheet's rows checked against the schema; nullopt once a sheet that is no CSV has failed.
std::optional<SheetCheck> readSheetChecked(const QString &name) {
    QString error;
    const auto bytes = readSheet(name, &error);
    if (!bytes) {
        fail(error);
        return std::nullopt;
    }
    const auto rows = CsvTable::read(*bytes, &error);
    if (!rows) {
        fail(QStringLiteral("%1: %2").arg(name, error));
        fail(QStringLiteral("%1 is no CSV sheet; nothing was written").arg(name));
        return std::nullopt;
    }
    return checkSheet(*rows);
}

// Why the file a row names cannot take the row.
struct Problem {
    int column = 0;
    QString why;
};

// Reads the target's file when it exists: it must be a connection of the kind the row gives.
std::optional<Problem> readTarget(Target &target) {
    const SheetEntry &entry = *target.entry;
    const QFileInfo info(target.path);
    if (info.isSymLink()) {
        return Problem{
            entry.fileColumn,
            QStringLiteral("%1 is a symbolic link; it is not followed").arg(target.path)};
    }
    if (!info.exists()) {
        return std::nullopt;
    }
    if (!info.isFile()) {
        return Problem{entry.fileColumn, QStringLiteral("%1 is no file").arg(target.path)};
    }
    QString error;
    target.read = FileStamp::of(finalTarget(target.path));
    target.doc = ClientDocument::load(target.path, &error);
    if (!target.doc) {
        return Problem{entry.fileColumn,
                       QStringLiteral("%1 is no connection file: %2").arg(target.path, error)};
    }
    if (entry.unsafe && *entry.unsafe == target.doc->SafeMode()) {
        return Problem{entry.kindColumn,
                       QStringLiteral("%1 is a %2 connection; its kind cannot change")
                           .arg(target.path, Output::kindName(target.doc->SafeMode()))};
    }
    return std::nullopt;
}

// The targets of the entries that can be imported; a problem of each other one in check.
std::vector<Target> targetsOf(SheetCheck &check, const QString &into) {
    std::vector<Target> targets;
    const QDir folder(into);
    for (const SheetEntry &entry : check.entries) {
        Target target{&entry, folder.filePath(entry.file), nullptr, {}};
        if (const auto problem = readTarget(target)) {
            const CsvCell heading = problem->column == entry.fileColumn
                                        ? CsvCell(QStringLiteral("file"))
                                        : CsvCell(QStringLiteral("kind"));
            check.errors << QStringLiteral("row %1, column %2: %3")
                                .arg(entry.row)
                                .arg(columnName(problem->column, heading), problem->why);
            continue;
        }
        targets.push_back(std::move(target));
    }
    return targets;
}

int failProblems(const QString &sheet, const QStringList &errors) {
    for (const QString &line : errors) {
        fail(QStringLiteral("%1: %2").arg(sheet, line));
    }
    return fail(QStringLiteral("%1 problem%2 in %3; nothing was written")
                    .arg(errors.size())
                    .arg(errors.size() == 1 ? QString() : QStringLiteral("s"))
                    .arg(sheet));
}

struct Imported {
    qsizetype created = 0;
    qsizetype updated = 0;
    qsizetype unchanged = 0;
};

void importOne(const ImportArgs &a, Target &t, Batch &batch, StagedWrites &staged,
               Imported &imported) {
    staged.watch(t.path, t.read);
    batch.step();
    const bool isNew = !t.doc;
    const bool unsafe = isNew ? t.entry->unsafe.value_or(false) : !t.doc->SafeMode();
    std::vector<Change> changes;
    bool differs = isNew;
    QString error;
    if (isNew) {
        changes = changesOfNew(t.entry->settings);
        if (!a.dryRun && !makeConnection(t.path, unsafe, t.entry->settings, &error)) {
            batch.failed(t.path, QStringLiteral("unable to make it: %1").arg(error));
            return;
        }
    } else {
        changes = apply(*t.doc, t.entry->settings);
        differs = t.doc->Changed();
        if (differs && !a.dryRun && !t.doc->save(&error)) {
            batch.failed(t.path, QStringLiteral("unable to save: %1").arg(error));
            return;
        }
    }
    const Action action = isNew ? Action::Create : differs ? Action::Update : Action::Unchanged;
    staged.add(t.path, differs && !a.dryRun,
               [&a, &imported, action, unsafe, changes, path = t.path] {
                   ++(action == Action::Create   ? imported.created
                      : action == Action::Update ? imported.updated
                                                 : imported.unchanged);
                   tellImported(a, path, action, unsafe, changes);
               });
}

} // namespace

int runImport(const QStringList &args) {
    const std::optional<ImportArgs> a = parseImport(args);
    if (!a) {
        return kUsage;
    }
    if (QFileInfo(a->into).exists() && !QFileInfo(a->into).isDir()) {
        return fail(QStringLiteral("%1 is no folder; nothing was written").arg(a->into));
    }
    std::optional<SheetCheck> check = readSheetChecked(a->sheet);
    if (!check) {
        return kFailed;
    }
    std::vector<Target> targets = targetsOf(*check, a->into);
    if (!check->errors.isEmpty()) {
        return failProblems(a->sheet, check->errors);
    }
    if (!a->dryRun && !QDir().mkpath(a->into)) {
        return fail(
            QStringLiteral("unable to make the folder %1; nothing was written").arg(a->into));
    }
    Batch batch(qsizetype(targets.size()), true);
    Imported imported;
    StopRequest stop;
    StagedWrites staged(batch);
    for (Target &t : targets) {
        if (StopRequest::requested()) {
            break;
        }
        importOne(*a, t, batch, staged, imported);
    }
    staged.commit();
    const QString would = a->dryRun ? QStringLiteral("would be ") : QString();
    return batch.finish(QStringLiteral("%1 %2created, %3 %2updated, %4 unchanged")
                            .arg(filesWord(imported.created))
                            .arg(would)
                            .arg(imported.updated)
                            .arg(imported.unchanged),
                        QStringLiteral("%1 rows; %2 created, %3 updated")
                            .arg(targets.size())
                            .arg(imported.created)
                            .arg(imported.updated));
}

} // namespace zelp::cli
