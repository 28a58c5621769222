#include "assignment.h"
#include "batch.h"
#include "commands.h"
#include "documentcommands.h"
#include "filelist.h"
#include "output.h"
#include "stagedwrites.h"
#include "stoprequest.h"

#include "client/core/clientdocument.h"
#include "common/ansi.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>

namespace zelp::cli {

int runSet(const QStringList &args) {
    QCommandLineParser parser;
    if (!parseArguments(parser, "set", args)) {
        return kUsage;
    }
    QStringList texts = parser.values(QStringLiteral("value"));
    QStringList fileArgs = parser.positionalArguments();
    if (texts.isEmpty()) {
        // The older form: one file, then its assignments.
        if (fileArgs.size() < 2) {
            return usageError("set", QStringLiteral("no file or no NAME=VALUE given"));
        }
        texts = fileArgs.mid(1);
        fileArgs = fileArgs.mid(0, 1);
    } else if (fileArgs.isEmpty()) {
        return usageError("set", QStringLiteral("no file given"));
    }
    QString error;
    bool badUsage = false;
    const auto assignments = parseAssignments(texts, &error, &badUsage);
    if (!assignments) {
        return badUsage ? usageError("set", error) : fail(error);
    }
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    const bool json = parser.isSet(QStringLiteral("json"));
    const FileList list = collectFiles(fileArgs, parser.isSet(QStringLiteral("recursive")));
    Batch batch(list.files.size(), list.many);
    for (const QString &line : list.errors) {
        batch.failedArgument(line);
    }
    qsizetype changed = 0;
    {
        StopRequest stop;
        StagedWrites staged(batch);
        for (const QString &file : list.files) {
            if (StopRequest::requested()) {
                break;
            }
            staged.watch(file);
            const auto doc = ClientDocument::load(file, &error);
            batch.step();
            if (!doc) {
                batch.failed(
                    file, QStringLiteral("no connection file: %1; nothing was changed").arg(error));
                continue;
            }
            const std::vector<Change> changes = apply(*doc, *assignments);
            const bool differs = doc->Changed();
            if (differs && !dryRun && !doc->save(&error)) {
                batch.failed(file, QStringLiteral("unable to save: %1").arg(error));
                continue;
            }
            staged.add(file, differs && !dryRun, [&, file, changes, differs] {
                changed += differs ? 1 : 0;
                if (json) {
                    Output::printJson(
                        QJsonObject{{QStringLiteral("file"), file},
                                    {QStringLiteral("changes"), jsonOfChanges(changes)},
                                    {QStringLiteral("written"), differs && !dryRun}});
                } else if (dryRun) {
                    Output::print(describeChanges(file, changes));
                }
            });
        }
    }
    if (StopRequest::requested()) {
        batch.finish(QStringLiteral("stopped by signal %1 after %2 of %3; %4 changed")
                         .arg(StopRequest::signal())
                         .arg(batch.done())
                         .arg(filesWord(list.files.size()))
                         .arg(changed));
        return StopRequest::exitCode();
    }
    return batch.finish(
        QStringLiteral("%1 of %2 %3")
            .arg(changed)
            .arg(filesWord(list.files.size()))
            .arg(dryRun ? QStringLiteral("would change") : QStringLiteral("changed")));
}

} // namespace zelp::cli
