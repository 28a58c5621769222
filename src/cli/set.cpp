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

namespace {

struct SetArgs {
    std::vector<Assignment> assignments;
    FileList list;
    bool dryRun = false;
    bool json = false;
};

// nullopt with *code set after a usage error or an assignment the schema refuses.
std::optional<SetArgs> parseSet(const QStringList &args, int *code) {
    QCommandLineParser parser;
    *code = kUsage;
    if (!parseArguments(parser, "set", args)) {
        return std::nullopt;
    }
    QStringList texts = parser.values(QStringLiteral("value"));
    QStringList fileArgs = parser.positionalArguments();
    if (texts.isEmpty()) {
        // The older form: one file, then its assignments.
        if (fileArgs.size() < 2) {
            usageError("set", QStringLiteral("no file or no NAME=VALUE given"));
            return std::nullopt;
        }
        texts = fileArgs.mid(1);
        fileArgs = fileArgs.mid(0, 1);
    } else if (fileArgs.isEmpty()) {
        usageError("set", QStringLiteral("no file given"));
        return std::nullopt;
    }
    QString error;
    bool badUsage = false;
    auto assignments = parseAssignments(texts, &error, &badUsage);
    if (!assignments) {
        *code = badUsage ? usageError("set", error) : fail(error);
        return std::nullopt;
    }
    return SetArgs{std::move(*assignments),
                   collectFiles(fileArgs, parser.isSet(QStringLiteral("recursive"))),
                   parser.isSet(QStringLiteral("dry-run")), parser.isSet(QStringLiteral("json"))};
}

void setOne(const SetArgs &a, const QString &file, Batch &batch, StagedWrites &staged,
            qsizetype &changed) {
    staged.watch(file);
    const auto doc = loadStep(batch, file, QStringLiteral("; nothing was changed"));
    if (!doc) {
        return;
    }
    const std::vector<Change> changes = apply(*doc, a.assignments);
    const bool differs = doc->Changed();
    QString error;
    if (differs && !a.dryRun && !doc->save(&error)) {
        batch.failed(file, QStringLiteral("unable to save: %1").arg(error));
        return;
    }
    staged.add(file, differs && !a.dryRun, [&a, &changed, file, changes, differs] {
        changed += differs ? 1 : 0;
        if (a.json) {
            Output::printJson(QJsonObject{{QStringLiteral("file"), file},
                                          {QStringLiteral("changes"), jsonOfChanges(changes)},
                                          {QStringLiteral("written"), differs && !a.dryRun}});
        } else if (a.dryRun) {
            Output::print(describeChanges(file, changes));
        }
    });
}

} // namespace

int runSet(const QStringList &args) {
    int code = kOk;
    const std::optional<SetArgs> a = parseSet(args, &code);
    if (!a) {
        return code;
    }
    Batch batch(a->list);
    qsizetype changed = 0;
    {
        StopRequest stop;
        StagedWrites staged(batch);
        for (const QString &file : a->list.files) {
            if (StopRequest::requested()) {
                break;
            }
            setOne(*a, file, batch, staged, changed);
        }
    }
    const QString files = filesWord(a->list.files.size());
    return batch.finish(
        QStringLiteral("%1 of %2 %3")
            .arg(changed)
            .arg(files)
            .arg(a->dryRun ? QStringLiteral("would change") : QStringLiteral("changed")),
        QStringLiteral("%1; %2 changed").arg(files).arg(changed));
}

} // namespace zelp::cli
